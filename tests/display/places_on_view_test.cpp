// The watcher's places in the main window: marked where they fall on the
// shown radar picture, hidden by the Places window's switch (kept for the
// next run), and picked by a click on the picture instead of a measurement;
// the radar's storm cells kept beside each image, drawn over it under the
// Storm Tracks switch (kept too), with their details on hover.
#include "core/preferences.h"
#include "display/place_marks.h"
#include "display/tab_display.h"
#include "display/window_fixture.h"
#include "display/zoom_scroll.h"
#include "sets/companion_files.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
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

TEST(PlaceMarks, TheNameStandsRightOfTheDotWithItsFootAtTheDotsLowerEdge) {
    QImage view(200, 100, QImage::Format_RGB32);
    view.fill(Qt::black);
    {
        QPainter painter(&view);
        display::paintPlaceMarks(painter, {{QStringLiteral("HH"), {50, 50}}}, view.rect(),
                                 view.size(), view.rect(), false);
    }
    int foot = -1;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 58; x < 120; ++x)
            if (view.pixel(x, y) == qRgb(255, 255, 255))
                foot = y;
    EXPECT_GE(foot, 52) << "the dot's lower edge is at 53";
    EXPECT_LE(foot, 54);
}

TEST_F(PlacesOnViewTest, EachImageShowsItsOwnCellsAndWarningsUnderTheirSwitches) {
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
    // Beside slot 2 (stored at 12:01 UTC): a warning south of the radar in
    // force then, and one that had expired.
    QFile warnings(sets::warningsFileOf(loop().slotFile(2)));
    ASSERT_TRUE(warnings.open(QIODevice::WriteOnly));
    warnings.write(R"({"site": "kmkx", "warnings": [
        {"id": "W1", "event": "Tornado Warning", "headline": "Tornado Warning for Racine",
         "issued": "2026-12-06T11:50:00Z", "expires": "2026-12-06T12:30:00Z",
         "polygon": [[42.8, -88.8], [42.8, -88.3], [42.5, -88.3], [42.5, -88.8]]},
        {"id": "W0", "event": "Severe Thunderstorm Warning", "issued": "2026-12-06T11:00:00Z",
         "expires": "2026-12-06T12:00:30Z", "polygon": [[43, -89], [43, -88], [42, -88]]}]})");
    warnings.close();
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

    const auto hoverText = [this](QPointF pixel) {
        const display::TwipsRect g = controls().Image1->pictureGeometry();
        const QPointF at = pixel + QPointF(display::toPixels(g.left), display::toPixels(g.top));
        QMouseEvent move(QEvent::MouseMove, at, controls().Image1->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(controls().Image1, &move);
        return QToolTip::text();
    };
    EXPECT_EQ(
        hoverText({302, 176}),
        QStringLiteral("A1: hail 100 % (severe 60 %) up to 1.50 in, tornado vortex signature"));
    EXPECT_FALSE(controls().Image1->warningMarks() && !controls().Image1->warningMarks()->empty());
    EXPECT_EQ(shown(loop().tabForSlot(2)).id, QStringLiteral("B2"));
    ASSERT_TRUE(controls().Image1->warningMarks());
    EXPECT_EQ(controls().Image1->warningMarks()->size(), 1u) << "the expired one is not drawn";
    EXPECT_EQ(hoverText({300, 330}), QStringLiteral("Tornado Warning for Racine"));

    // Each switch, on by default, hides its marks and is kept for the next run.
    struct Switch {
        const char* item;
        const char* key;
        std::function<bool()> drawn;
    };
    const Switch switches[] = {
        {"mnuStormTracks", "Display/StormTracks",
         [this] { return bool(controls().Image1->stormMarks()); }},
        {"mnuWarnings", "Display/Warnings",
         [this] { return bool(controls().Image1->warningMarks()); }},
    };
    for (const Switch& s : switches) {
        QAction* item = form().menuItem(QLatin1String(s.item));
        ASSERT_TRUE(item->isChecked()) << s.item;
        item->trigger();
        EXPECT_FALSE(s.drawn()) << s.item;
        EXPECT_FALSE(core::Preferences(paths.preferencesPath).flag(QLatin1String(s.key), true));
        item->trigger();
        EXPECT_TRUE(s.drawn()) << s.item;
    }
}

} // namespace
