// The scroll allowances of a zoomed picture; clicks on the zoomed and
// scrolled picture, and fit-to-window, in the assembled window, driven
// through the real buttons and bars.
#include "display/tab_display.h"
#include "display/zoom_math.h"
#include "display/zoom_scroll.h"
#include "press_and_hold.h"
#include "window_fixture.h"

#include <QScreen>
#include <QScrollBar>
#include <array>
#include <tuple>

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

    bool anyBarEnabled() {
        return controls().HScroll1->isEnabled() || controls().VScroll1->isEnabled();
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
    controls().Check5->setChecked(true);
    display().tabs().Check5_Click();
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

TEST(ZoomMathTest, AllowanceNeedsAPictureMoreThanAPixelLargerThanTheView) {
    // The view is 9000 x 6000 twips; 9015 is within a pixel and fits.
    // picture width and height, then the expected allowance
    const std::array<double, 6> cases[] = {
        {9000, 6000, 0, 0, 0, 0},
        {9015, 6015, 0, 0, 0, 0},
        {9030, 6000, 240, 0, 270, 0},
        {9000, 6030, 0, 240, 0, 270},
        {12000, 9000, 240, 240, 3240, 3240},
        {4500, 3000, 0, 0, 0, 0},
    };
    for (const auto& [width, height, h, v, hOver, vOver] : cases) {
        const display::ScrollAllowance a = display::scrollAllowance(width, height, 9000, 6000);
        EXPECT_EQ(std::tie(a.horizontal, a.vertical, a.hOverflow, a.vOverflow),
                  std::tie(h, v, hOver, vOver))
            << width << " x " << height;
    }
}

TEST(ZoomMathTest, AFittedWindowTooLargeForTheScreenGrowsOnlyByTheBarsItNeeds) {
    // wanted inner size, then the size given in a 100 x 100 room with 17-pixel bars
    const std::array<QSize, 2> cases[] = {
        {QSize(80, 100), QSize(80, 100)},  // fits exactly: no bar
        {QSize(80, 150), QSize(97, 100)},  // too tall: a vertical bar beside it
        {QSize(150, 80), QSize(100, 97)},  // too wide: a horizontal bar below it
        {QSize(90, 150), QSize(100, 100)}, // the vertical bar makes it too wide as well
        {QSize(150, 90), QSize(100, 100)}, // the horizontal bar makes it too tall as well
        {QSize(100, 80), QSize(100, 80)},
    };
    for (const auto& [wanted, given] : cases)
        EXPECT_EQ(display::fitWithBars(wanted, QSize(100, 100), 17), given)
            << wanted.width() << " x " << wanted.height();
}

} // namespace
