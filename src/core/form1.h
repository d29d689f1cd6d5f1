#pragma once
// The main window's shell: the window and its lifecycle (load, first
// activation, close), the deferred-action timer Timer6, the tooltip table
// behind F1ToolT, the popup menu mnuPop1 and the status bar. The subsystems
// attach their controls and handlers to it; it knows none of them.
#include "core/app_paths.h"
#include "core/clock.h"
#include "core/settings.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QStatusBar;

namespace nubivista::core {

class MessageService;

// Deferred actions that Timer6 runs once.
namespace deferred {
inline constexpr int EnableText1 = 1;
inline constexpr int EnableText2 = 2;
inline constexpr int EnableText3 = 3;
inline constexpr int EnableText4 = 4;
inline constexpr int EnableText11 = 11;
inline constexpr int EnableText12 = 12;
inline constexpr int OpenSavedSet = 99;
inline constexpr int ReloadCurrentSet = 100;
inline constexpr int ShowNationalMap = 101;
} // namespace deferred

inline constexpr int kNationalMapDelayMs = 1000;
inline constexpr int kSetActionDelayMs = 500;
inline constexpr int kTextBoxGuardMs = 600;
inline constexpr int kStatusBarPanels = 4;

// The caption with mark at its end, taken from anywhere else in it.
QString captionWithMarkLast(const QString& caption, const QString& mark);

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(Settings& settings, const AppPaths& paths, MessageService& messages, const Clock& clock,
          QWidget* parent = nullptr);
    ~Form1() override;

    Settings& settings() { return settings_; }
    const AppPaths& paths() const { return paths_; }
    MessageService& messages() { return messages_; }
    const Clock& clock() const { return clock_; }

    // The area below the menu-less window top where the parts place their
    // controls (absolute placement in twips, converted at the widget edge).
    QWidget* clientArea() const { return clientArea_; }

    // ---- lifecycle ----
    // Runs every load step the parts registered, then places the window.
    void Form_Load();
    // The first activation: tooltips, the parts' first-activation steps, then
    // the national map one second later. Later activations do nothing.
    void Form_Activate();
    bool activated() const { return activated_; }

    void addLoadStep(std::function<void()> step) { loadSteps_.push_back(std::move(step)); }
    void addFirstActivationStep(std::function<void()> step) {
        activationSteps_.push_back(std::move(step));
    }
    // The steps of CloseNavigation, run first at close in registration order;
    // a step that must precede all others (ending the process) asks to go first.
    void addCloseNavigationStep(std::function<void()> step, bool goFirst = false) {
        if (goFirst)
            closeNavigationSteps_.insert(closeNavigationSteps_.begin(), std::move(step));
        else
            closeNavigationSteps_.push_back(std::move(step));
    }
    // The other windows, unloaded at close in this order: Form3, Form4, Form5,
    // Form6, Form9, frmMsgWind. Windows of a name not in that list come last.
    void addWindowToUnload(const QString& name, QPointer<QWidget> window);

    // A mark that always ends the caption, whatever sets it (the demo's);
    // empty: none.
    void setCaptionMark(const QString& mark);
    QStringList unloadOrder() const;

    // ---- Timer6 ----
    void registerDeferredAction(int code, std::function<void()> action);
    // Sets DeferredAction, the interval and starts Timer6; a later arm
    // replaces an earlier one that has not run yet.
    void armDeferredAction(int code, int intervalMs);
    int DeferredAction() const { return deferredAction_; }
    QTimer* Timer6() { return &timer6_; }
    void Timer6_Timer();

    // ---- tooltips ----
    // text is read at every F1ToolT, so a tooltip can follow the state.
    void registerToolTip(QWidget* control, std::function<QString()> text);
    void registerToolTip(QWidget* control, const QString& text);
    // Sets every registered tooltip, or clears them all when NoToolTips is on.
    void F1ToolT();

    // ---- popup menu ----
    QMenu* mnuPop1() const { return menu_; }
    // The menu's items by control name (mnuOpenSet, mnuHelp, ...). An item
    // stays disabled until a part attaches its handler.
    QAction* menuItem(const QString& name) const;
    void attachMenuItem(const QString& name, std::function<void()> handler);

    // ---- status bar ----
    QStatusBar* StatusBar1() const { return statusBar1_; }
    QLabel* statusPanel(int panel) const; // 1..4
    QProgressBar* ProgressBar1() const { return progressBar1_; }

    // ---- small commands of the menu ----
    // The help page opens in a new browser window through the relay window.
    void setOpenInNewWindow(std::function<void(const QString& address)> open) {
        openInNewWindow_ = std::move(open);
    }
    void mnuHelp_Click();
    void mnuHelpUpdates_Click();
    QString updatesPagePath() const;

signals:
    // The system's colours or style changed (the system-information event).
    void systemColorsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenu();
    void buildStatusBar();
    void CloseNavigation();
    // Stores the placement when it is worth keeping and writes the settings;
    // a failed write keeps the previous file and is told once.
    void Form_QueryUnload();

    Settings& settings_;
    AppPaths paths_;
    MessageService& messages_;
    const Clock& clock_;
    QWidget* clientArea_ = nullptr;
    WindowPlacement placementAtLoad_;
    bool activated_ = false;
    QString captionMark_;
    bool markingCaption_ = false;
    bool unloaded_ = false;

    std::vector<std::function<void()>> loadSteps_;
    std::vector<std::function<void()>> activationSteps_;
    std::vector<std::function<void()>> closeNavigationSteps_;
    std::vector<std::pair<QString, QPointer<QWidget>>> windowsToUnload_;

    QTimer timer6_;
    int deferredAction_ = 0;
    std::map<int, std::function<void()>> deferredActions_;

    struct ToolTipEntry {
        QPointer<QWidget> control;
        std::function<QString()> text;
    };
    std::vector<ToolTipEntry> toolTips_;

    QMenu* menu_ = nullptr;
    std::map<QString, QAction*> menuItems_;

    QStatusBar* statusBar1_ = nullptr;
    QLabel* statusPanels_[kStatusBarPanels] = {};
    QProgressBar* progressBar1_ = nullptr;

    std::function<void(const QString&)> openInNewWindow_;
};

} // namespace nubivista::core
