// The main window's layout as a user meets it: hiding the controls panel and
// the text boxes' right-click guard.
#include "display/window_layout.h"
#include "window_fixture.h"

#include <QStatusBar>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

namespace {

class WindowLayoutTest : public MainWindowTest {
protected:
    display::WindowLayout& layout() { return display().layout(); }
    QWidget* strip() { return controls().Command13; }
    bool statusBarShown() { return form().StatusBar1()->isVisible(); }

    // A left or right press on the Command13 strip, where the user sees it.
    void pressStrip(Qt::MouseButton button) {
        QTest::mouseClick(strip(), button, {}, strip()->rect().center());
    }
    // The bottom of the display area, in the window's own coordinates.
    int displayBottom() { return controls().Picture3->geometry().bottom() + 1; }
};

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

} // namespace
