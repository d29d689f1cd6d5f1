// The main window's layout as a user meets it: the minimum size, the tab-row
// controls that need room, hiding and panning the controls panel with the
// mouse and the keyboard, the status bar switch, the text boxes' right-click
// guard and the fit after the window comes back from maximized. The rules
// themselves are tabled in layout_rules_test.cpp; these prove the wiring.
#include "display/window_layout.h"
#include "display/zoom_scroll.h"
#include "window_fixture.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

namespace {

class WindowLayoutTest : public MainWindowTest {
protected:
    display::WindowLayout& layout() { return display().layout(); }
    QAction* statusBarItem() { return form().menuItem(QStringLiteral("mnuStatusBar")); }
    QWidget* panel() { return controls().Picture1; }
    QWidget* strip() { return controls().Command13; }
    bool statusBarShown() { return form().StatusBar1()->isVisible(); }

    // A left or right press on the Command13 strip, where the user sees it.
    void pressStrip(Qt::MouseButton button) {
        QTest::mouseClick(strip(), button, {}, strip()->rect().center());
    }
    // One key going down or up, the modifiers as held before it (the event
    // adds a modifier key's own flag); QTest::keyPress would press the held
    // modifiers again.
    static void keyDown(QWidget* w, Qt::Key key, Qt::KeyboardModifiers held = {}) {
        QTest::simulateEvent(w, true, key, held, QString(), false);
    }
    static void keyUp(QWidget* w, Qt::Key key, Qt::KeyboardModifiers held) {
        QTest::simulateEvent(w, false, key, held, QString(), false);
    }
    // The bottom of the display area, in the window's own coordinates.
    int displayBottom() { return controls().Picture3->geometry().bottom() + 1; }
    // Maximizes the window and restores it; returns the restored size.
    QSize maximizeAndRestore() {
        form().showMaximized();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return form().isMaximized() && form().size() != QSize(900, 700); }));
        const QSize maximized = form().size();
        form().showNormal();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !form().isMaximized() && form().size() != maximized; }));
        return form().size();
    }
};

TEST_F(WindowLayoutTest, DraggingTheWindowSmallerSnapsItTo6045By5355) {
    showWindow();
    form().resize(300, 200);
    QTRY_COMPARE(form().size(), QSize(403, 357));
    // The narrowest window still holds the whole display area and all tabs.
    EXPECT_EQ(controls().Picture3->width(), 403 - 6);
    EXPECT_EQ(displayBottom(), 357 - 20);
    EXPECT_LE(controls().TabStrip1->tabRect(19).right(), controls().Picture3->width());
}

TEST_F(WindowLayoutTest, StepButtonsShowAtLeft7905OnceTheTabRowIs9615Wide) {
    // Picture3 is the inner width less 90 twips: 647 px give W = 9615.
    showWindow({647, 600});
    QTRY_COMPARE(controls().Picture3->width(), 641);
    EXPECT_TRUE(controls().Command60->isVisible());
    EXPECT_EQ(controls().Command60->x(), 7905 / 15);

    form().resize(646, 600);
    QTRY_COMPARE(controls().Picture3->width(), 640);
    EXPECT_FALSE(controls().Command60->isVisible());
    EXPECT_TRUE(controls().Command30->isVisible());
}

TEST_F(WindowLayoutTest, HidingThePanelTakesTheStatusBarAlongAndShowingBringsItBack) {
    showWindow({900, 700});
    ASSERT_TRUE(statusBarShown());
    EXPECT_EQ(displayBottom(), 700 - 20);

    pressStrip(Qt::LeftButton);
    EXPECT_TRUE(layout().panelHidden());
    EXPECT_EQ(controls().Picture3->y(), 120 / 15);
    EXPECT_FALSE(statusBarShown());
    EXPECT_EQ(displayBottom(), 700 - 2);
    // The strip is still where the user can click it.
    EXPECT_EQ(strip()->mapTo(&form(), QPoint(0, 0)).y(), 0);

    pressStrip(Qt::LeftButton);
    EXPECT_FALSE(layout().panelHidden());
    EXPECT_EQ(controls().Picture3->y(), 690 / 15);
    EXPECT_TRUE(statusBarShown());
    EXPECT_EQ(displayBottom(), 700 - 20);
}

TEST_F(WindowLayoutTest, AStatusBarSwitchedOffInTheMenuStaysOffWhenThePanelComesBack) {
    showWindow({900, 700});
    ASSERT_TRUE(statusBarItem()->isChecked());
    statusBarItem()->trigger();
    EXPECT_EQ(settings.HideStatusBar, 1);
    EXPECT_FALSE(statusBarItem()->isChecked());
    EXPECT_EQ(displayBottom(), 700 - 2);

    pressStrip(Qt::LeftButton);
    pressStrip(Qt::LeftButton);
    EXPECT_FALSE(layout().panelHidden());
    EXPECT_FALSE(statusBarShown());
    EXPECT_EQ(displayBottom(), 700 - 2);

    statusBarItem()->trigger();
    EXPECT_EQ(settings.HideStatusBar, 0);
    EXPECT_TRUE(statusBarShown());
    EXPECT_EQ(displayBottom(), 700 - 20);
}

TEST_F(WindowLayoutTest, TheStatusBarAndStampBoxSettingsAreReadAtLoad) {
    settings.HideStatusBar = 1;
    settings.HideStampBox = 1;
    showWindow({900, 700});
    EXPECT_FALSE(statusBarShown());
    EXPECT_FALSE(statusBarItem()->isChecked());
    EXPECT_EQ(displayBottom(), 700 - 2);
    EXPECT_FALSE(controls().Picture2->isVisible());
}

TEST_F(WindowLayoutTest, EveryKeyDownWithExactlyShiftAndCtrlTogglesThePanel) {
    showWindow({900, 700});
    QWidget* focus = controls().Text11;
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    // Shift goes down, then Ctrl: the Ctrl key-down is the first with both held.
    keyDown(focus, Qt::Key_Shift);
    EXPECT_FALSE(layout().panelHidden());
    keyDown(focus, Qt::Key_Control, Qt::ShiftModifier);
    EXPECT_TRUE(layout().panelHidden());
    // Every further key while both are held toggles again, whatever the key.
    keyDown(focus, Qt::Key_A, shiftCtrl);
    EXPECT_FALSE(layout().panelHidden());
    keyUp(focus, Qt::Key_A, shiftCtrl);
    keyDown(&form(), Qt::Key_F5, shiftCtrl);
    EXPECT_TRUE(layout().panelHidden());
    keyUp(&form(), Qt::Key_F5, shiftCtrl);
    keyUp(focus, Qt::Key_Control, shiftCtrl);
    keyUp(focus, Qt::Key_Shift, Qt::ShiftModifier);

    // Other shift states leave the panel alone.
    QTest::keyClick(focus, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    keyDown(focus, Qt::Key_B, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(layout().panelHidden());
}

TEST_F(WindowLayoutTest, TheRightButtonAndCtrlAltPanTheNarrowPanelThroughItsStops) {
    showWindow({500, 600}); // 7500 twips: below 7785, three stops
    pressStrip(Qt::RightButton);
    EXPECT_EQ(panel()->x(), -1815 / 15);
    EXPECT_GE(panel()->geometry().right() + 1, form().width());
    // Ctrl, then Alt: the Alt key-down pans one stop.
    keyDown(controls().Text11, Qt::Key_Control);
    keyDown(controls().Text11, Qt::Key_Alt, Qt::ControlModifier);
    EXPECT_EQ(panel()->x(), -4500 / 15);
    EXPECT_GE(panel()->geometry().right() + 1, form().width());
    keyUp(controls().Text11, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
    keyUp(controls().Text11, Qt::Key_Control, Qt::ControlModifier);
}

TEST_F(WindowLayoutTest, AltOpensTheMenuFromTheShowMenuButton) {
    showWindow({900, 700});
    keyDown(controls().Text11, Qt::Key_Alt);
    QTRY_VERIFY(form().mnuPop1()->isVisible());
    EXPECT_TRUE(controls().Command3->hasFocus() || !form().isActiveWindow());
    form().mnuPop1()->hide();
}

TEST_F(WindowLayoutTest, ARightClickDisablesATextBoxUntilTimer6Fires600msLater) {
    showWindow({900, 700});
    const QRect wideText1 = controls().Text1->geometry();
    const std::pair<const char*, int> boxes[] = {{"Text1", 1}, {"Text2", 2},   {"Text3", 3},
                                                 {"Text4", 4}, {"Text11", 11}, {"Text12", 12}};
    for (const auto& [name, action] : boxes) {
        SCOPED_TRACE(name);
        QWidget* box = child(name);
        ASSERT_TRUE(box && box->isVisible());
        QTest::mouseClick(box, Qt::RightButton, {}, box->rect().center());
        EXPECT_FALSE(box->isEnabled());
        EXPECT_EQ(form().DeferredAction(), action);
        EXPECT_EQ(form().Timer6()->interval(), 600);
        EXPECT_TRUE(form().Timer6()->isActive());
        EXPECT_FALSE(QApplication::activePopupWidget());
        QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 2000);
    }
    // The measurement box also toggles to its narrow place.
    EXPECT_EQ(controls().Text1->x(), 7815 / 15);
    EXPECT_EQ(controls().Text1->geometry().right(), wideText1.right());
    // A left click is an ordinary click.
    QTest::mouseClick(controls().Text2, Qt::LeftButton);
    EXPECT_TRUE(controls().Text2->isEnabled());
}

TEST_F(WindowLayoutTest, RestoringFromMaximizedFitsTheWindowOnlyWithFitChecked) {
    showWindow({900, 700});
    EXPECT_EQ(maximizeAndRestore(), QSize(900, 700));

    controls().Check5->setChecked(true);
    const QSize fitted = maximizeAndRestore();
    EXPECT_NE(fitted, QSize(900, 700));
    // Fitting again changes nothing: the window was fitted already.
    display().zoom().FitWindowToImage();
    EXPECT_EQ(form().size(), fitted);
}

} // namespace
