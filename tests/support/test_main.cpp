// Test entry: one QApplication for the whole run, headless unless the caller
// chose a platform, and Qt's test mode so that no test touches the real home.
#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
#ifdef NUBIVISTA_TEST_SCREEN
    // A suite laid out for a desktop's screen gets it headless too.
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NUBIVISTA_TEST_SCREEN);
#else
    if (platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QStandardPaths::setTestModeEnabled(true);
    // Browser panes need shared GL contexts, set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NubivistaTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
