// The main window's layout as a user meets it: a maximized or full-screen
// window, hiding the controls panel and the text boxes' right-click guard.
#include "display/window_layout.h"
#include "display/zoom_scroll.h"
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

TEST_F(WindowLayoutTest, MaximizedOrFullScreenThePictureFillsTheWindowAndNoPaneShows) {
    fillSlots(3);
    showWindow({700, 600});
    QTest::mouseClick(controls().Command1, Qt::LeftButton); // the map set aside
    const auto isPane = [this](QWidget* widget) {
        for (; widget != nullptr; widget = widget->parentWidget())
            if (widget == imagePane() || widget == mapPane())
                return true;
        return false;
    };
    EXPECT_FALSE(imagePane()->isEnabled());
    EXPECT_EQ(imagePane()->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(imagePane()->focusPolicy(), Qt::NoFocus);
    for (const bool fullScreen : {false, true}) {
        for (const float factor : {1.0f, 2.5f}) {
            SCOPED_TRACE(::testing::Message()
                         << (fullScreen ? "full screen " : "maximized ") << factor);
            settings.ZoomFactor = factor;
            display().zoom().setNaturalSize(600 * 15, 550 * 15);
            fullScreen ? form().showFullScreen() : form().showMaximized();
            QTRY_VERIFY(form().width() > 1000);
            const QRect window = form().rect();
            // The view reaches the right edge, less its fixed margin.
            QWidget* view = controls().Picture4;
            EXPECT_GE(view->mapTo(&form(), QPoint(view->width(), 0)).x(), window.width() - 12);
            if (factor > 2) {
                QWidget* bar = controls().VScroll1;
                EXPECT_TRUE(bar->isVisible() && bar->isEnabled());
                EXPECT_GE(bar->mapTo(&form(), QPoint(bar->width(), 0)).x(), window.width() - 12);
            }
            for (QWidget* pane :
                 {static_cast<QWidget*>(imagePane()), static_cast<QWidget*>(mapPane())})
                EXPECT_FALSE(
                    QRect(pane->mapTo(&form(), QPoint()), pane->size()).intersects(window));
            for (int y = view->mapTo(&form(), QPoint()).y(); y < window.height() - 30; y += 50)
                EXPECT_FALSE(isPane(form().childAt(window.width() - 20, y))) << y;
            form().showNormal();
            QTRY_VERIFY(form().width() < 1000);
        }
    }
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
