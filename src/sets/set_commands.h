#pragma once
// The commands of the popup menu that manage image sets and edit the current
// one: save, open, reload and delete saved sets, delete the checked images
// and pack the rest down, and reset the selected tab as the last image.
// They change the slots only through the loop model, and reach the display
// and the auto-refresh process through SetCommandPeers.
#include "sets/loop_set.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace nubivista::core {
class Form1;
class MessageService;
struct Settings;
} // namespace nubivista::core

namespace nubivista::sets {

// A file the user chose in a file dialog.
struct ChosenFile {
    QString path;  // the full path
    QString title; // the file name without its folder
};

enum class SetDialog {
    Save,   // choose a record file to write (it may exist)
    Open,   // choose an existing record file
    Delete, // the open dialog, in which the user deletes a set folder himself
};

// Shows a file dialog and returns the choice; nothing when cancelled. Tests
// answer it without a window.
using SetFileChooser = std::function<std::optional<ChosenFile>(
    SetDialog dialog, const QString& initialFolder, const QString& filter)>;

// Qt's own file dialog (not the desktop's), whose context menu can delete a
// folder, over parent.
SetFileChooser qtFileChooser(QWidget* parent);

// What the set commands ask of the rest of the window; an empty function is
// a part that is not attached, and the command does without it.
struct SetCommandPeers {
    // The auto-refresh process state (0 = none running).
    std::function<int()> refreshState;
    // Ends a running process and shows the stopped look of the refresh controls.
    std::function<void()> shutDownState;
    // The auto-refresh process stops polling for an image (Reset).
    std::function<void()> stopImagePolling;
    // Resets the minutes the refresh timer has counted (a set was opened).
    std::function<void()> resetMinutesCounted;
    std::function<int()> selectedTab;
    std::function<void(int tab)> selectTab;
    std::function<bool(int tab)> skipChecked;
    std::function<void(int tab, bool checked, bool enabled)> setSkipBox;
    std::function<void()> clearMeasurement;
    // The pictures of the slots changed size: size the view to the newest one
    // and fit the window around it when Fit is checked.
    std::function<void(int newestSlot)> picturesLoaded;
    // Shows the refresh interval in its box.
    std::function<void(int minutes)> showInterval;
    // Sets the selector map pane aside unless it is already.
    std::function<void()> setMapPaneAside;
    std::function<void(const QString&)> setCaption;
    // The product box shows the product of the set that was read.
    std::function<void(const QString& productCode)> showProduct;
};

class SetCommands : public QObject {
    Q_OBJECT
public:
    SetCommands(core::Form1& shell, LoopSet& loop, SetFileChooser chooser, SetCommandPeers peers);

    // ---- saving, opening, deleting and reloading sets ----
    void mnuSaveSet_Click();
    void mnuOpenSet_Click();
    void mnuDeleteSet_Click();
    void mnuReOpenCurrSet_Click();
    // Deferred actions 99 and 100.
    void OpenDeferredSet();
    void ReloadCurrentSet();
    const QString& deferredSetPath() const { return deferredSetPath_; }

    // ---- deleting checked images and resetting ----
    void mnuDelete_Click();
    void mnuReset_Click();

private:
    core::Settings& settings();
    core::MessageService& messages();

    // ---- deleting checked images and resetting ----
    bool processRunning() const;
    bool confirmed(const QString& text, int msgId);
    // Unchecks the skip boxes of tabs fromTab..20; those above lastFilledTab
    // are disabled as well.
    void showSkipBoxes(int lastFilledTab, int fromTab = 1);

    core::Form1& shell_;
    LoopSet& loop_;
    SetFileChooser chooser_;
    SetCommandPeers peers_;
    QString deferredSetPath_;
    QString deferredSetName_;
};

} // namespace nubivista::sets
