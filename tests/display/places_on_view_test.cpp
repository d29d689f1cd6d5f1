// The watcher's places in the main window: marked where they fall on the
// shown radar picture, hidden by the Places window's switch (kept for the
// next run), and picked by a click on the picture instead of a measurement;
// the radar's storm cells kept beside each image, drawn over it under the
// Storm Tracks switch (kept too), with their details on hover.
#include "core/preferences.h"
#include "display/tab_display.h"
#include "display/window_fixture.h"
#include "display/zoom_scroll.h"
#include "sets/companion_files.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolTip>

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

TEST_F(PlacesOnViewTest, EachImageShowsItsOwnStormCellsUnderTheStormTracksSwitch) {
    showWindow({1200, 950});
    fillSlots(2);
    display().zoom().setNaturalSize(600 * 15, 550 * 15);
    loop().updateModel([](sets::SlotModel& m) { m.siteCode = QStringLiteral("kmkx"); });
    const auto keepCells = [this](int slot, const char* cell) {
        QFile file(sets::stormCellsFileOf(loop().slotFile(slot)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"site": "kmkx", "scanTime": "2026-12-09T02:15:38Z", "cells": [)" +
                   QByteArray(cell) + "]}");
    };
    // Slot 1's cell 50 miles north of the radar, slot 2's over it.
    keepCells(1, R"({"id": "A1", "lat": 43.6849, "lon": -88.550667, "tvs": true,
                     "hail": {"probability": 100, "severeProbability": 60, "maxSizeIn": 1.5}})");
    keepCells(2, R"({"id": "B2", "lat": 42.9679, "lon": -88.550667})");
    loop().replaceModel(loop().model()); // as a reloaded set
    const auto shown = [this](int tab) {
        display().tabs().selectTab(tab);
        const display::StormMarks& marks = controls().Image1->stormMarks();
        return marks && marks->size() == 1 ? (*marks)[0] : display::StormMark{};
    };
    const display::StormMark a1 = shown(loop().tabForSlot(1));
    EXPECT_EQ(a1.id, QStringLiteral("A1"));
    EXPECT_NEAR(a1.at.x(), 300, 0.01);
    EXPECT_NEAR(a1.at.y(), 175, 0.1);
    EXPECT_EQ(a1.hail, display::StormMark::Hail::Severe);
    EXPECT_TRUE(a1.tvs);

    const display::TwipsRect g = controls().Image1->pictureGeometry();
    const QPointF onA1(display::toPixels(g.left) + 302, display::toPixels(g.top) + 176);
    QMouseEvent move(QEvent::MouseMove, onA1, controls().Image1->mapToGlobal(onA1), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(controls().Image1, &move);
    EXPECT_EQ(
        QToolTip::text(),
        QStringLiteral("A1: hail 100 % (severe 60 %) up to 1.50 in, tornado vortex signature"));
    EXPECT_EQ(shown(loop().tabForSlot(2)).id, QStringLiteral("B2"));

    QAction* tracks = form().menuItem(QStringLiteral("mnuStormTracks"));
    ASSERT_TRUE(tracks->isChecked()) << "on by default";
    tracks->trigger();
    EXPECT_FALSE(controls().Image1->stormMarks());
    EXPECT_FALSE(
        core::Preferences(paths.preferencesPath).flag(QStringLiteral("Display/StormTracks"), true));
    tracks->trigger();
    EXPECT_EQ(shown(loop().tabForSlot(1)).id, QStringLiteral("A1"));
}

} // namespace
