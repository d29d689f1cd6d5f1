#pragma once
// The Options window: two tabs of settings, most of which change at once;
// the map address, the tooltip switch and the stamp box switch reach the main
// window when the window closes. Restore Defaults resets the tab in front.
// The window is loaded each time it is opened from the menu and unloaded
// when it closes; between openings it keeps nothing but the settings.
#include "options/options_peers.h"
#include "options/options_state.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace nubivista::core {
struct Settings;
class MessageService;
class Clock;
class PressButton;
} // namespace nubivista::core

namespace nubivista::options {

// Message 1: the notice after Restore Defaults.
inline constexpr int kDefaultsRestoredMsgId = 1;

class Form4 : public QWidget {
    Q_OBJECT
public:
    Form4(core::Settings& settings, core::MessageService& messages, const core::Clock& clock,
          OptionsPeers peers = {}, QWidget* parent = nullptr);
    ~Form4() override;

    // The menu command: the window is loaded unless it is open, then shown
    // in front without waiting for it.
    void showOptions();
    // OptionsOpen: 1 from the load to the unload.
    bool OptionsOpen() const { return optionsOpen_; }
    // The program is ending: the coming unload applies nothing.
    void programEnds() { programEnding_ = true; }

    void Form_Load();
    void Form_Activate();
    // Colours the window for the current PanelBackColor.
    void SissyColors2();

    const OptionsState& state() const { return state_; }

    // ---- controls, by their designer names ----
    QTabBar* TabStrip1 = nullptr;
    QFrame* Frame1 = nullptr; // General
    QFrame* Frame2 = nullptr; // Dist/Dir/Speed/ETA
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QCheckBox* Check6 = nullptr;
    QCheckBox* Check7 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    QLineEdit* Text1 = nullptr;  // national map address, the one editable text
    QLineEdit* Text2 = nullptr;  // map scale
    QLineEdit* Text6 = nullptr;  // time-stamp minutes
    QLineEdit* Text15 = nullptr; // first image extra delay
    QLineEdit* Text16 = nullptr; // last image extra delay
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr; // the unit word, set into Label6's gap
    QLabel* Label8 = nullptr;
    QPushButton* Command1 = nullptr; // Re-Enable messages
    QPushButton* Command5 = nullptr; // Restore Defaults
    core::PressButton* Command10 = nullptr;
    core::PressButton* Command11 = nullptr;
    core::PressButton* Command20 = nullptr;
    core::PressButton* Command21 = nullptr;
    core::PressButton* Command70 = nullptr;
    core::PressButton* Command71 = nullptr;
    core::PressButton* Command80 = nullptr;
    core::PressButton* Command81 = nullptr;

    // ---- handlers ----
    void TabStrip1_Click();
    void Text1_Change();
    void Check1_Click();
    void Check2_Click();
    void Check4_Click();
    void Check5_Click();
    void Check6_Click();
    void Check7_Click();
    void Check8_Click();
    void Check9_Click();
    void Check10_Click();
    void Option1_Click(int index);
    void Command1_Click();
    void Command5_Click();
    // The press-and-hold pairs: the press steps and repeats while held.
    void Command20_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command21_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command70_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command71_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command80_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command81_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command10_MouseDown(Qt::MouseButton button);
    void Command11_MouseDown(Qt::MouseButton button);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // form4_controls.cpp: the controls, their places and their signals.
    void buildControls();
    void buildGeneralTab();
    void buildDistanceTab();
    void connectHandlers();
    void placeFrames(bool grow);
    void placeLabel7();

    // The tab's controls set from the settings.
    void showGeneralSettings();
    void showDistanceSettings();
    void showScale();
    void setCheck(QCheckBox* box, std::int16_t value);

    void scaleStepOnce(float step, bool up);
    void holdPair(bool& held, const std::function<void()>& step);
    void applyOnTop();
    void Form_Unload();
    void ApplyOptionsOnClose();

    core::Settings& settings_;
    core::MessageService& messages_;
    const core::Clock& clock_;
    OptionsPeers peers_;
    OptionsState state_;
    bool optionsOpen_ = false;
    bool programEnding_ = false;
    // One held flag per up/down pair.
    bool scaleHeld_ = false;
    bool firstDelayHeld_ = false;
    bool lastDelayHeld_ = false;
    bool minutesHeld_ = false;
};

} // namespace nubivista::options
