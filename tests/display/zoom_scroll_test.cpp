// The zoom buttons, the scroll bars and fit-to-window in the assembled
// window, driven through the real buttons and bars.
#include "display/tab_display.h"
#include "display/zoom_scroll.h"
#include "press_and_hold.h"
#include "window_fixture.h"

#include <QScreen>
#include <QScrollBar>

using namespace nubivista;
using nubivista::testing::MainWindowTest;
using nubivista::testing::pressAndHold;

namespace {

// The sample images' size, in twips.
constexpr double kSampleWidth = 600 * 15;
constexpr double kSampleHeight = 550 * 15;

class ZoomScrollTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Every hold pause is over at the clock's first look; a press then
        // lasts one step unless held on.
        clock.setAdvancePerRead(1000);
        showWindow();
        zoom().setNaturalSize(kSampleWidth, kSampleHeight);
    }

    display::ZoomScroll& zoom() { return display().zoom(); }
    core::PressButton* larger() { return child<core::PressButton>("Command51"); }

    // A press and release of a zoom button: one step.
    void click(core::PressButton* button, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton mouse = Qt::LeftButton) {
        pressAndHold(
            button, mouse, [] { return false; }, modifiers);
    }

    void setFactor(float factor) {
        settings.ZoomFactor = factor;
        controls().Text12->setText(display::zoomFactorText(factor));
        zoom().setNaturalSize(kSampleWidth, kSampleHeight);
    }

    // The view box at a size of its own, as the window resize would leave it.
    void setView(int width, int height) {
        controls().Picture4->resize(width, height);
        zoom().UpdateScrollRanges();
        zoom().SyncScrollBars(false, false);
        zoom().placeScrollBars();
    }

    display::TwipsRect picture() { return controls().Image1->pictureGeometry(); }
    bool anyBarEnabled() {
        return controls().HScroll1->isEnabled() || controls().VScroll1->isEnabled();
    }

    void fitToWindow() {
        controls().Check5->setChecked(true);
        display().tabs().Check5_Click();
    }
};

TEST_F(ZoomScrollTest, MarkerAndPictureClicksReachTheMeasurementOnAFilledSlot) {
    std::vector<std::pair<int, QPointF>> clicks;
    display().peers().measurementClick = [&](int slot, Qt::MouseButton, Qt::KeyboardModifiers,
                                             QPointF at) { clicks.emplace_back(slot, at); };
    setFactor(2.0f);
    setView(400, 300);
    controls().HScroll1->setValue(10); // picture left -150
    display::MarkerWidget* marker = controls().Image1->marker(2);
    marker->move(100, 50);
    marker->show();

    const auto clickBoth = [&] {
        QTest::mouseClick(controls().Image1, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(marker, Qt::LeftButton, {}, QPoint(3, 4));
    };
    clickBoth(); // tab 1's slot is empty: nothing is measured
    EXPECT_TRUE(clicks.empty());

    fillSlots(1);
    display().tabs().selectTab(1);
    marker->show();
    clickBoth();
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(1, QPointF((20 + 10) * 15, 20 * 15)));
    EXPECT_EQ(clicks[1], std::make_pair(1, QPointF((103 + 10) * 15, 54 * 15)));
    // The middle button on a marker measures nothing.
    QTest::mouseClick(marker, Qt::MiddleButton, {}, QPoint(3, 4));
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ZoomScrollTest, FitFollowsTheZoomedPictureAndStaysInTheWorkArea) {
    const QSize before = form().size();
    zoom().setNaturalSize(900 * 15, 300 * 15);
    fitToWindow();
    const QSize fitted = form().size();
    click(larger()); // 990 x 330 pixels
    QTRY_COMPARE(form().size() - fitted, QSize(90, 30));
    QTRY_COMPARE(controls().Picture4->size(), QSize(990, 330));
    EXPECT_FALSE(anyBarEnabled());

    zoom().setNaturalSize(4000 * 15, 3000 * 15);
    zoom().FitWindowToImage();
    const QSize workArea = form().screen()->availableGeometry().size();
    QTRY_COMPARE(form().frameGeometry().size(), workArea);

    // Unchecking Fit gives the window its size back.
    controls().Check5->setChecked(false);
    display().tabs().Check5_Click();
    QTRY_COMPARE(form().size(), before);
}

TEST_F(ZoomScrollTest, FitKeepsEveryTopRowControlAndScrollsToThePicturesLastPixel) {
    const QRect workArea = form().screen()->availableGeometry();
    // At zoom 1 the window is wider than the picture: the tab row needs it.
    fitToWindow();
    QTRY_VERIFY(controls().Picture2->isVisible());
    for (const char* name : {"Combo1", "Text1", "Command3", "Command1", "Command60", "Command61",
                             "Command30", "Command31", "Check1", "Text3", "Picture2"}) {
        QWidget* control = child(name);
        EXPECT_TRUE(control->isVisible()) << name;
        EXPECT_LE(control->mapTo(&form(), QPoint(control->width(), 0)).x(), form().width()) << name;
    }
    EXPECT_GE(controls().Picture4->width(), 600);
    EXPECT_EQ(controls().Picture4->height(), 550);
    EXPECT_FALSE(anyBarEnabled());

    // At zoom 2 the picture is taller than the work area, at 3 wider too:
    // the bars reach the rest, down to the picture's last pixel.
    for (const float factor : {2.0f, 3.0f}) {
        SCOPED_TRACE(factor);
        setFactor(factor);
        zoom().FitWindowToImage();
        QTRY_COMPARE(form().frameGeometry().height(), workArea.height());
        EXPECT_TRUE(workArea.contains(form().frameGeometry()));
        QScrollBar* across = controls().HScroll1;
        QScrollBar* down = controls().VScroll1;
        ASSERT_TRUE(down->isEnabled() && down->isVisible());
        EXPECT_EQ(across->isEnabled(), factor > 2.5f);
        for (QScrollBar* bar : {across, down}) {
            EXPECT_TRUE(!bar->isEnabled() ||
                        form().rect().contains(QRect(bar->mapTo(&form(), QPoint()), bar->size())));
            bar->setValue(bar->maximum());
        }
        const display::TwipsRect g = picture();
        const QPoint lastPixel(display::toPixels(g.left + g.width) - 1,
                               display::toPixels(g.top + g.height) - 1);
        EXPECT_LT(lastPixel.x(), down->x());
        EXPECT_LT(lastPixel.y(), across->isEnabled() ? across->y() : controls().Picture4->height());
    }
}

} // namespace
