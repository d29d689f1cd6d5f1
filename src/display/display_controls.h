#pragma once
// The controls of the main window below its caption: the controls panel
// Picture1 with its three frames, and the display area Picture3 with the tab
// strip, the skip boxes, the tab-row controls, the time-stamp panel and the
// picture view. Built once with their designer names as object names and
// their captions; where they sit is the layout's business.
#include "core/press_button.h"
#include "display/radar_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <array>

namespace nubivista::display {

// A display-only text box that reports mouse presses (the right-click guard
// and the time text's mode cycle need them) and opens no edit menu.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(const QString& name, QWidget* parent);

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// An option box whose Enter key toggles it (the key is consumed).
class OptionBox : public QCheckBox {
    Q_OBJECT
public:
    OptionBox(const QString& name, const QString& caption, QWidget* parent);

signals:
    // The user or the program changed the box (the old click event).
    void clicked2();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A panel that reports presses on itself, for the stamp boxes.
using Panel = QFrame;

inline constexpr int kTabCount = 20;

struct DisplayControls {
    // ---- controls panel ----
    Panel* Picture1 = nullptr;
    QGroupBox* FrameLoop = nullptr;         // "Loop Controls"
    QGroupBox* FrameRefresh = nullptr;      // "Refresh Controls"
    QGroupBox* FrameZoom = nullptr;         // "Zoom Controls"
    core::PressButton* Command18 = nullptr; // Run / Stop
    core::PressButton* Command19 = nullptr; // Rock / Loop
    core::PressButton* Command40 = nullptr; // loop delay <
    core::PressButton* Command41 = nullptr; // loop delay >
    TextBox* Text11 = nullptr;              // loop delay
    // The refresh controls; their handlers belong to the auto-refresh process.
    core::PressButton* Command7 = nullptr;  // Shut-Down / Restart
    core::PressButton* Command9 = nullptr;  // pause / resume
    core::PressButton* Command20 = nullptr; // interval <
    core::PressButton* Command21 = nullptr; // interval >
    TextBox* Text2 = nullptr;               // count-down
    TextBox* Text4 = nullptr;               // interval
    core::PressButton* Command50 = nullptr; // zoom <
    core::PressButton* Command51 = nullptr; // zoom >
    TextBox* Text12 = nullptr;              // zoom factor
    OptionBox* Check5 = nullptr;            // "Fit"
    QComboBox* Combo1 = nullptr;            // radar product
    OptionBox* Check2 = nullptr;            // "Long Range"
    OptionBox* Check3 = nullptr;            // "Back-Date"
    TextBox* Text1 = nullptr;               // measurement
    core::PressButton* Command1 = nullptr;  // selector map
    core::PressButton* Command3 = nullptr;  // "Show Menu"
    core::PressButton* Command13 = nullptr; // show / hide controls

    // ---- display area ----
    Panel* Picture3 = nullptr;
    QTabBar* TabStrip1 = nullptr;
    std::array<OptionBox*, kTabCount + 1> Check4{}; // by tab 1..20
    core::PressButton* Command60 = nullptr;         // step <
    core::PressButton* Command61 = nullptr;         // step >
    core::PressButton* Command30 = nullptr;         // minute -
    core::PressButton* Command31 = nullptr;         // minute +
    OptionBox* Check1 = nullptr;                    // "click"
    TextBox* Text3 = nullptr;                       // time text
    Panel* Picture2 = nullptr;                      // black time-stamp panel
    std::array<QLabel*, kTabCount + 1> Picture8{};  // by slot 1..20
    QLabel* Label1 = nullptr;                       // shown slot (not visible)

    // ---- picture view ----
    Panel* Picture4 = nullptr;
    RadarView* Image1 = nullptr; // the one view standing for Image1(1..20)
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QWidget* Picture5 = nullptr;
};

// Creates every control inside parent (the shell's client area).
DisplayControls buildDisplayControls(QWidget* parent);

// The product list's items in order.
QStringList productChoices();

} // namespace nubivista::display
