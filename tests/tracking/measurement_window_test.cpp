// Measuring through the assembled window: real presses on the picture and
// the markers, the results in Text1 or the ETA list, ClearMeasurement.
#include "display/tab_display.h"
#include "display/window_fixture.h"
#include "display/zoom_scroll.h"
#include "feed/picture/frame_geometry.h"
#include "feed/sim/products.h"
#include "qstring_print.h"
#include "support/scoped_time_zone.h"

#include <QTreeWidget>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

namespace {

constexpr double kSampleWidth = 600 * 15;
constexpr double kSampleHeight = 550 * 15;

class MeasurementWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        showWindow();
        fillSlots(2);
        // 12:00 and 12:30 UTC on 6 December 2026.
        loop().setSlotTime(2, 46362.5 + 30.0 / 1440);
        display().zoom().setNaturalSize(kSampleWidth, kSampleHeight);
        display().tabs().selectTab(1);
    }

    display::RadarView* view() { return controls().Image1; }
    display::MarkerWidget* marker(int i) { return view()->marker(i); }
    QString text1() { return controls().Text1->text(); }
    void press(QWidget* on, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(on, button, {}, at);
        QTest::mouseRelease(on, button, {}, at);
    }
    void clickOnTab(int tab, QPoint at) {
        display().tabs().selectTab(tab);
        press(view(), at);
    }

    nubivista::testing::ScopedTimeZone utc{"UTC"};
};

// The measurement's rules are in measurement_test.cpp; here the window's
// presses reach it and its marks and texts reach the window.
TEST_F(MeasurementWindowTest, PressesMeasureMarkAndClearAndRoutedResultsGoToTheEtaList) {
    // Both feeds draw their pictures at the scale the measurement reads them with.
    const double milesPerPixel = 15.0 / settings.MapScale;
    EXPECT_NEAR(feed::picture::kMilesPerPixelShort, milesPerPixel, 1e-6);
    EXPECT_NEAR(feed::sim::kMilesPerPixelShort, milesPerPixel, 1e-6);

    clickOnTab(1, {100, 100});
    EXPECT_TRUE(text1().startsWith("Got Start - Distance/Speed: ")) << text1().toStdString();
    EXPECT_EQ(marker(1)->geometry(), QRect(94, 94, 13, 13));
    EXPECT_TRUE(marker(1)->isVisible() && !marker(2)->isVisible());

    // 100 pixels east in 30 minutes: 49.5 miles, 99 miles an hour.
    clickOnTab(2, {200, 100});
    EXPECT_EQ(text1(), "99 Mi/Hr @ 90 deg. E");
    EXPECT_EQ(marker(2)->geometry(), QRect(194, 94, 13, 13));
    ASSERT_TRUE(view()->lineVisible());
    EXPECT_EQ(view()->line(), QLineF(0, 1500, view()->width() * 15.0, 1500));

    // 50 pixels further: a quarter of an hour after the second image.
    clickOnTab(2, {250, 100});
    EXPECT_EQ(text1(), "ETA: 12:45 PM 12/6/26 ... 24.8 Mi @ 99 Mi/Hr @ 90 deg. E");
    EXPECT_TRUE(marker(3)->isVisible());

    press(marker(2), {6, 6}, Qt::RightButton);
    EXPECT_EQ(text1(), "Cleared");
    EXPECT_TRUE(!marker(1)->isVisible() && !view()->lineVisible());
    EXPECT_EQ(window->measurement().StormSpeed, 0);

    // The start marker's centre is the start point.
    clickOnTab(1, {100, 100});
    press(marker(1), {6, 6});
    EXPECT_EQ(text1(), "Dist/Dir: 0 Mi @ -1 deg. N");
    press(view(), {300, 300}, Qt::RightButton);
    EXPECT_EQ(window->measurement().StartX, -1);

    settings.PopupLists = 3;
    clickOnTab(1, {100, 100});
    clickOnTab(1, {100, 200});
    tracking::Form9& list = window->form9();
    ASSERT_EQ(list.ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(list.ListView1->topLevelItem(0)->text(1), "Dist/Dir: 49.5 Mi @ 180 deg. S");
    list.close();
}

} // namespace
