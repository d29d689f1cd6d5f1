// The watcher's places in the main window: marked where they fall on the
// shown radar picture, hidden by the Places window's switch (kept for the
// next run), and picked by a click on the picture instead of a measurement.
#include "core/preferences.h"
#include "display/window_fixture.h"
#include "display/zoom_scroll.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace nubivista;

namespace {

class PlacesOnViewTest : public nubivista::testing::MainWindowTest {};

TEST_F(PlacesOnViewTest, PlacesAreMarkedOnTheSitesPictureAndAClickPicksAPlace) {
    showWindow({1200, 950});
    fillSlots(2);
    display().zoom().setNaturalSize(600 * 15, 550 * 15); // as a loaded set sizes the view
    loop().updateModel([](sets::SlotModel& m) { m.siteCode = QStringLiteral("kmkx"); });
    ASSERT_TRUE(window->places().add({QStringLiteral("Radar"), 42.9679, -88.550667, 5, false}));
    ASSERT_TRUE(window->places().add({QStringLiteral("North"), 43.6849, -88.550667, 5, true}));
    const std::vector<display::PlaceMark>& marks = controls().Image1->placeMarks();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].pixel.x(), 300, 0.01);
    EXPECT_NEAR(marks[0].pixel.y(), 275, 0.01);
    EXPECT_NEAR(marks[1].pixel.y(), 175, 0.1);

    form().menuItem(QStringLiteral("mnuPlaces"))->trigger();
    places::frmPlaces& placesWindow = window->placesWindow();
    ASSERT_TRUE(placesWindow.isVisible());
    placesWindow.Check2->setChecked(false);
    EXPECT_TRUE(controls().Image1->placeMarks().empty());
    EXPECT_FALSE(core::Preferences(paths.preferencesPath).flag(places::kShowPlacesKey, true));
    placesWindow.Check2->setChecked(true);
    EXPECT_EQ(controls().Image1->placeMarks().size(), 2u);

    placesWindow.Command4_Click();
    const display::TwipsRect g = controls().Image1->pictureGeometry();
    const QPoint north(display::toPixels(g.left) + 300, display::toPixels(g.top) + 175);
    QTest::mouseClick(controls().Image1, Qt::LeftButton, Qt::NoModifier, north);
    EXPECT_FALSE(placesWindow.picking());
    EXPECT_NEAR(placesWindow.Text2->text().toDouble(), 43.6849, 0.01);
    EXPECT_NEAR(placesWindow.Text3->text().toDouble(), -88.5507, 0.01);
    EXPECT_EQ(window->measurement().StartX, -1.0f);
}

} // namespace
