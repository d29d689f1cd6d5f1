#pragma once
// The main window's layout: the resize rule with its minimum size, the
// placement of the panel, the display area and the tab-row controls, hiding
// and panning the controls panel, the status bar switch, the keyboard
// shortcuts, the right-click guard of the text boxes and the colour change.
#include "display/layout_rules.h"

#include <QObject>

class QWidget;

namespace nubivista::display {

class LoopDisplay;

class WindowLayout : public QObject {
    Q_OBJECT
public:
    explicit WindowLayout(LoopDisplay& display);

    // Window load: the status bar and mnuStatusBar from the setting, the
    // stamp panel from HideStampBox.
    void load();

    void Form_Resize();
    void LayoutControls();
    void Command13_MouseDown(Qt::MouseButton button);
    void Command3_Click();
    void Command1_Click();
    void mnuStatusBar_Click();
    // Decides by the shift state alone; true when the key was used.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void SystemColorsChanged();
    // The right-button guard of Text1, Text2, Text3, Text4, Text11, Text12.
    void guardTextBox(int number);

    bool panelHidden() const { return panelHidden_; }
    double panelAllowance() const { return panelHidden_ ? kPanelAllowance : 0; }
    double statusBarAllowance() const { return statusBarAllowance_; }
    double panelLeft() const { return panelLeft_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* textBox(int number) const;
    void textBoxMouseDown(int number, Qt::MouseButton button);
    double innerWidth() const;
    double innerHeight() const;
    // Picture1 at the present left edge, top and width; Command13 and Text1
    // inside it.
    void placePanel();
    void placeTabRow();
    void placeStatusBar();
    void showStatusBar(bool shown);

    LoopDisplay& display_;
    bool panelHidden_ = false;
    double statusBarAllowance_ = 0;
    double panelLeft_ = 0;
    double panelWidth_ = kMinPanelWidth;
    Span text1_;
    int lastWindowState_ = 0;
};

} // namespace nubivista::display
