#include "acquisition/platform/web_engine_setup.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace nubivista::platform {

namespace {

bool runningAsRoot() {
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

} // namespace

QStringList chromiumFlags(const QStringList& given, bool asRoot, bool offscreen) {
    QStringList flags = given;
    auto add = [&flags](const QString& flag) {
        if (!flags.contains(flag))
            flags.append(flag);
    };
    // Chromium refuses to start its sandbox as root.
    if (asRoot)
        add(QStringLiteral("--no-sandbox"));
    if (offscreen)
        add(QStringLiteral("--disable-gpu"));
    return flags;
}

void prepareWebEngineEnvironment() {
    if (!QCoreApplication::instance())
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const bool asRoot = runningAsRoot();
    const bool offscreen = qgetenv("QT_QPA_PLATFORM") == "offscreen";
    if (asRoot)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const QStringList given = QString::fromLocal8Bit(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList flags = chromiumFlags(given, asRoot, offscreen);
    if (flags != given)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(QLatin1Char(' ')).toLocal8Bit());
}

} // namespace nubivista::platform
