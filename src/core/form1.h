#pragma once
// The main window: the program's only long-lived window. Closing it ends the
// program, after its placement and the settings have been stored.
#include "core/app_paths.h"
#include "core/settings.h"

#include <QMainWindow>

namespace nubivista::core {

class MessageService;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(Settings& settings, const AppPaths& paths, MessageService& messages,
          QWidget* parent = nullptr);

    // Places the window from the settings (the default placement on a fresh
    // settings file), as the load does.
    void Form_Load();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Stores the placement when it is worth keeping and writes the settings;
    // a failed write keeps the previous file and is told once.
    void Form_QueryUnload();

    Settings& settings_;
    AppPaths paths_;
    MessageService& messages_;
    WindowPlacement placementAtLoad_;
    bool unloaded_ = false;
};

} // namespace nubivista::core
