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
    // The panes show plain pages. Drawn by Qt Quick's software renderer they
    // paint like any other control; drawn through OpenGL they make Qt compose
    // the whole main window through OpenGL at every repaint of any control,
    // ten times a second while the loop runs, which costs four times the CPU
    // where OpenGL is software, as under Xvfb or in a virtual machine.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    const QStringList given = QString::fromLocal8Bit(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList flags = chromiumFlags(given, asRoot, offscreen);
    if (flags != given)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(QLatin1Char(' ')).toLocal8Bit());
}

} // namespace nubivista::platform
