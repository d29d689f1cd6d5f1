#include "core/form1.h"

#include "core/app_identity.h"
#include "core/message_service.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace nubivista::core {

namespace {

WindowPlacement workAreaTwips(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 12405 + 1800, 9000};
    return placementFromPixels(screen->availableGeometry());
}

WindowShowState showStateOf(const QWidget& window) {
    if (window.isMinimized())
        return WindowShowState::Minimized;
    if (window.isMaximized() || window.isFullScreen())
        return WindowShowState::Maximized;
    return WindowShowState::Normal;
}

} // namespace

Form1::Form1(Settings& settings, const AppPaths& paths, MessageService& messages, QWidget* parent)
    : QMainWindow(parent), settings_(settings), paths_(paths), messages_(messages) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle);
}

void Form1::Form_Load() {
    placementAtLoad_ = placementAtStart(mainWindowPlacement(settings_), workAreaTwips(*this));
    // The settings keep what was read; the default placement only places the
    // window, and is stored at close like any other normal placement.
    setGeometry(placementToPixels(placementAtLoad_));
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void Form1::Form_QueryUnload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    const WindowPlacement current = placementFromPixels(geometry());
    storeMainWindowPlacement(
        settings_, placementAtClose(mainWindowPlacement(settings_), current, showStateOf(*this)));
    const WriteOutcome written = saveSettingsFile(paths_.iniPath, settings_);
    if (!written.ok) {
        const QString crlf = QStringLiteral("\r\n");
        messages_.ShowMsgWind(1,
                              crlf + crlf + QStringLiteral("The Settings Could Not Be Saved In:") +
                                  crlf + paths_.iniPath + crlf + written.error + crlf +
                                  QStringLiteral("The Settings Of The Previous Run Are Kept."),
                              0);
    }
}

} // namespace nubivista::core
