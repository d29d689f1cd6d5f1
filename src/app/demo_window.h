#pragma once
// The main window on null browser panes in a private, temporary user folder,
// with images of the program folder's sample set in its slots: for programs
// that draw the window without the Internet (benchmarks, screenshots).
#include "app/main_window.h"
#include "core/message_service.h"

#include <QTemporaryDir>
#include <memory>

namespace nubivista::app {

class DemoWindow {
public:
    // appDir: the program folder holding "Sample Loop Images". The window is
    // loaded, shown at sizePx and activated; slots 1..images hold sample
    // images one minute apart, shown at their own size.
    DemoWindow(const QString& appDir, int images, QSize sizePx);

    bool ok() const { return ok_; }
    MainWindow& window() { return *window_; }
    core::Settings& settings() { return settings_; }

private:
    QTemporaryDir home_;
    core::Settings settings_;
    core::MessageService messages_{settings_.MsgOffMap};
    core::SystemClock clock_;
    std::unique_ptr<MainWindow> window_;
    bool ok_ = false;
};

} // namespace nubivista::app
