// The main window's layout as a user meets it: the minimum size, the tab-row
// controls that need room, hiding and panning the controls panel with the
// mouse and the keyboard, the status bar switch, the text boxes' right-click
// guard and the fit after the window comes back from maximized.
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

    // A left or right press on the Command13 strip, where the user sees it.
    void pressStrip(Qt::MouseButton button) {
        QTest::mouseClick(strip(), button, {}, strip()->rect().center());
    }
    QSize maximize() {
        form().showMaximized();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return form().isMaximized() && form().size() != QSize(900, 700); }));
        return form().size();
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
};

TEST_F(WindowLayoutTest, DraggingTheWindowSmallerSnapsItTo6045By5355) {
    showWindow();
    form().resize(300, 200);
    QTRY_COMPARE(form().size(), QSize(403, 357));
    // The narrowest window still holds the whole display area and all tabs.
    EXPECT_EQ(controls().Picture3->width(), 403 - 6);
    EXPECT_EQ(displayBottom(), 357 - 20);
    EXPECT_LE(controls().TabStrip1->tabRect(19).right(), controls().Picture3->width());
    EXPECT_TRUE(controls().Check4[20]->geometry().right() < controls().Picture3->width());
}

TEST_F(WindowLayoutTest, StepButtonsShowAtLeft7905OnceTheTabRowIs9615Wide) {
    // Picture3 is the inner width less 90 twips: 647 px give W = 9615.
    showWindow({647, 600});
    QTRY_COMPARE(controls().Picture3->width(), 641);
    EXPECT_TRUE(controls().Command60->isVisible());
    EXPECT_EQ(controls().Command60->x(), 7905 / 15);
    EXPECT_EQ(controls().Command61->x(), (7905 + 225) / 15);

    form().resize(646, 600);
    QTRY_COMPARE(controls().Picture3->width(), 640);
    EXPECT_FALSE(controls().Command60->isVisible());
    EXPECT_FALSE(controls().Command61->isVisible());
    EXPECT_TRUE(controls().Command30->isVisible());
}

TEST_F(WindowLayoutTest, TheDisplayAreaEndsAtTheStatusBarOr30TwipsAboveTheBottom) {
    showWindow({900, 700});
    EXPECT_EQ(form().StatusBar1()->height(), 20);
    EXPECT_EQ(displayBottom(), 700 - 20);
    EXPECT_EQ(controls().Picture3->y(), 690 / 15);

    statusBarItem()->trigger();
    EXPECT_FALSE(form().StatusBar1()->isVisible());
    EXPECT_EQ(displayBottom(), 700 - 2);
}

TEST_F(WindowLayoutTest, HidingThePanelTakesTheStatusBarAlongAndShowingBringsItBack) {
    showWindow({900, 700});
    ASSERT_TRUE(form().StatusBar1()->isVisible());

    pressStrip(Qt::LeftButton);
    EXPECT_TRUE(layout().panelHidden());
    EXPECT_EQ(panel()->y(), -570 / 15);
    EXPECT_EQ(controls().Picture3->y(), 120 / 15);
    EXPECT_FALSE(form().StatusBar1()->isVisible());
    EXPECT_EQ(displayBottom(), 700 - 2);
    // The strip now spans the panel and is still where the user can click it.
    EXPECT_EQ(strip()->width(), panel()->width() - 2);
    EXPECT_EQ(strip()->mapTo(&form(), QPoint(0, 0)).y(), 0);

    pressStrip(Qt::LeftButton);
    EXPECT_FALSE(layout().panelHidden());
    EXPECT_EQ(panel()->y(), 0);
    EXPECT_EQ(strip()->width(), 7770 / 15);
    EXPECT_TRUE(form().StatusBar1()->isVisible());
    EXPECT_EQ(displayBottom(), 700 - 20);
}

TEST_F(WindowLayoutTest, AStatusBarSwitchedOffInTheMenuStaysOffWhenThePanelComesBack) {
    showWindow({900, 700});
    ASSERT_TRUE(statusBarItem()->isCheckable());
    ASSERT_TRUE(statusBarItem()->isChecked());

    statusBarItem()->trigger();
    EXPECT_EQ(settings.HideStatusBar, 1);
    EXPECT_FALSE(statusBarItem()->isChecked());

    pressStrip(Qt::LeftButton);
    pressStrip(Qt::LeftButton);
    EXPECT_FALSE(layout().panelHidden());
    EXPECT_FALSE(form().StatusBar1()->isVisible());
    EXPECT_EQ(displayBottom(), 700 - 2);

    statusBarItem()->trigger();
    EXPECT_EQ(settings.HideStatusBar, 0);
    EXPECT_TRUE(statusBarItem()->isChecked());
    EXPECT_TRUE(form().StatusBar1()->isVisible());
    EXPECT_EQ(displayBottom(), 700 - 20);
}

TEST_F(WindowLayoutTest, TheStatusBarSettingIsReadAtLoad) {
    settings.HideStatusBar = 1;
    settings.HideStampBox = 1;
    showWindow({900, 700});
    EXPECT_FALSE(form().StatusBar1()->isVisible());
    EXPECT_FALSE(statusBarItem()->isChecked());
    EXPECT_EQ(layout().statusBarAllowance(), 270);
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
    const int stops[] = {-1815 / 15, -4500 / 15, 0, -1815 / 15};
    for (const int stop : stops) {
        pressStrip(Qt::RightButton);
        EXPECT_EQ(panel()->x(), stop);
        EXPECT_GE(panel()->geometry().right() + 1, form().width());
    }
    // Ctrl, then Alt: the Alt key-down pans one stop.
    keyDown(controls().Text11, Qt::Key_Control);
    keyDown(controls().Text11, Qt::Key_Alt, Qt::ControlModifier);
    EXPECT_EQ(panel()->x(), -4500 / 15);
    keyUp(controls().Text11, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
    keyUp(controls().Text11, Qt::Key_Control, Qt::ControlModifier);

    form().resize(700, 600); // wide enough: the panel comes back to 0
    QTRY_COMPARE(form().width(), 700);
    pressStrip(Qt::RightButton);
    EXPECT_EQ(panel()->x(), 0);
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
    const struct {
        const char* name;
        int action;
    } boxes[] = {{"Text1", 1}, {"Text2", 2},   {"Text3", 3},
                 {"Text4", 4}, {"Text11", 11}, {"Text12", 12}};
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.name);
        QWidget* box = child(b.name);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isVisible());
        QTest::mouseClick(box, Qt::RightButton, {}, box->rect().center());
        EXPECT_FALSE(box->isEnabled());
        EXPECT_EQ(form().DeferredAction(), b.action);
        EXPECT_EQ(form().Timer6()->interval(), 600);
        EXPECT_TRUE(form().Timer6()->isActive());
        EXPECT_FALSE(QApplication::activePopupWidget());
        QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 2000);
    }
    // A left click is an ordinary click.
    QTest::mouseClick(controls().Text2, Qt::LeftButton);
    EXPECT_TRUE(controls().Text2->isEnabled());
}

TEST_F(WindowLayoutTest, ARightClickOnTheMeasurementBoxTogglesItsWidth) {
    showWindow({900, 700});
    QWidget* text1 = controls().Text1;
    const QRect wide = text1->geometry();
    EXPECT_EQ(wide.x(), 6990 / 15);
    QTest::mouseClick(text1, Qt::RightButton, {}, text1->rect().center());
    EXPECT_EQ(text1->geometry(), QRect(7815 / 15, wide.y(), wide.width() - 55, wide.height()));
    QTRY_VERIFY_WITH_TIMEOUT(text1->isEnabled(), 2000);
    QTest::mouseClick(text1, Qt::RightButton, {}, text1->rect().center());
    EXPECT_EQ(text1->geometry(), wide);
}

TEST_F(WindowLayoutTest, RestoringFromMaximizedWithFitCheckedFitsTheWindow) {
    showWindow({900, 700});
    controls().Check5->setChecked(true);
    const QSize maximized = maximize();
    form().showNormal();
    QTRY_VERIFY(!form().isMaximized() && form().size() != maximized);
    const QSize fitted = form().size();
    EXPECT_NE(fitted, QSize(900, 700));
    // Fitting again changes nothing: the window was fitted already.
    display().zoom().FitWindowToImage();
    EXPECT_EQ(form().size(), fitted);
}

TEST_F(WindowLayoutTest, RestoringFromMaximizedWithoutFitKeepsTheNormalSize) {
    showWindow({900, 700});
    const QSize maximized = maximize();
    form().showNormal();
    QTRY_VERIFY(form().size() != maximized);
    EXPECT_EQ(form().size(), QSize(900, 700));
}

} // namespace
