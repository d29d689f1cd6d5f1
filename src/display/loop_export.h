#pragma once
// The popup menu's "Export Loop As Animated GIF...": asks where, then writes
// the loop as it plays now on a thread of its own, with the status bar's
// progress bar and a Cancel button beside it, so the window keeps answering.
// The folder chosen last is remembered in a small file beside the settings
// record; the first export starts in the user's pictures folder.
#include "display/loop_gif.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <thread>

class QPushButton;

namespace nubivista::display {

class LoopDisplay;

// Shows the save dialog in initialFolder with a suggested file name and
// returns the chosen path; nothing when cancelled. Tests answer it directly.
using GifFileChooser =
    std::function<std::optional<QString>(const QString& initialFolder, const QString& fileName)>;

// Qt's own save dialog over parent: the GIF filter, default suffix "gif".
GifFileChooser qtGifFileChooser(QWidget* parent);

class LoopExport : public QObject {
    Q_OBJECT
public:
    LoopExport(LoopDisplay& display, GifFileChooser chooser);
    ~LoopExport() override;

    void mnuExportGif_Click();
    // Asks a running export to stop; its file is not made.
    void cancel();
    bool running() const { return running_; }

    // The file that remembers the last folder, and the folder the dialog opens in.
    QString lastFolderFile() const;
    QString initialFolder() const;

private:
    void start(LoopGifJob job, const QString& path);
    void showProgress(int done, int total);
    void end(const LoopGifOutcome& outcome, const QString& path, int frames);
    void updateMenuItem();

    LoopDisplay& display_;
    GifFileChooser chooser_;
    QPushButton* cancelButton_ = nullptr;
    bool running_ = false;
    std::jthread worker_;
};

} // namespace nubivista::display
