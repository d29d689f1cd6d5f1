#include "acquisition/platform/web_engine_setup.h"

#include <QCoreApplication>
#include <QLoggingCategory>

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

QStringList chromiumFlags(const QStringList& given, bool asRoot, bool softwarePanes) {
    QStringList flags = given;
    auto add = [&flags](const QString& flag) {
        const QString name = flag.section(QLatin1Char('='), 0, 0);
        for (const QString& present : flags)
            if (present.section(QLatin1Char('='), 0, 0) == name)
                return;
        flags.append(flag);
    };
    // Chromium refuses to start its sandbox as root.
    if (asRoot)
        add(QStringLiteral("--no-sandbox"));
    // Without the sandbox the zygote processes only make renderers start
    // sooner; for the one renderer the panes share they are two processes
    // and some 10 MB kept for nothing. (With the sandbox Chromium needs them.)
    if (flags.contains(QStringLiteral("--no-sandbox")))
        add(QStringLiteral("--no-zygote"));
    if (softwarePanes)
        add(QStringLiteral("--disable-gpu"));
    // One renderer for the map, the image page and the relay window: the
    // pages are the program's own and the weather service's, shown through
    // the program's proxy, so a process per site buys nothing but memory.
    add(QStringLiteral("--renderer-process-limit=1"));
    add(QStringLiteral("--disable-site-isolation-trials"));
    add(QStringLiteral("--disable-background-networking"));
    return flags;
}

void prepareWebEngineEnvironment() {
    const bool asRoot = runningAsRoot();
    if (asRoot)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The panes show plain pages. Drawn by Qt Quick's software renderer they
    // paint like any other control; drawn through OpenGL they make Qt compose
    // the whole main window through OpenGL at every repaint of any control,
    // ten times a second while the loop runs, which costs four times the CPU
    // where OpenGL is software, as under Xvfb or in a virtual machine.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    const bool softwarePanes = qgetenv("QT_QUICK_BACKEND") == "software";
    if (softwarePanes) {
        // Nothing is drawn through OpenGL then, and not loading it keeps the
        // GL driver (with its compiler, some 30 MB) out of the process.
        if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
            qputenv("QT_XCB_GL_INTEGRATION", "none");
        // The engine describes its OpenGL set-up at length when it has none.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    } else if (!QCoreApplication::instance()) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }
    const QStringList given = QString::fromLocal8Bit(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList flags = chromiumFlags(given, asRoot, softwarePanes);
    if (flags != given)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(QLatin1Char(' ')).toLocal8Bit());
}

} // namespace nubivista::platform
