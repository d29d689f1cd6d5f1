// The radar's storm cells and the weather service's warnings on a live loop:
// the alarm for a place on a storm's track or inside a warning, what is kept
// beside the image and carried into a saved set.
#include "app/overlay_shelf.h"
#include "display/tab_display.h"
#include "e2e/live_feed_fixture.h"
#include "sets/companion_files.h"
#include "sets/set_folders.h"
#include "tracking/storm_cells.h"

#include <QCheckBox>
#include <QTreeWidget>

namespace nubivista::e2e {
namespace {

const radar::GeoPoint kKlsx{38.698611, -90.682778};

const tracking::StormCell* cellNamed(const tracking::StormScanCells& scan, const char* id) {
    for (const tracking::StormCell& cell : scan.cells)
        if (cell.id == QLatin1String(id))
            return &cell;
    return nullptr;
}

TEST_F(LiveFeedTest, AStormOnItsWayToAPlaceRaisesTheAlarmAndItsCellsTravelWithTheImage) {
    upstream.publish("DS.58sti", productFile("KLSX_SDUS33_NSTLSX_202112110215"), scanTime);
    const auto served = tracking::readStormCells(sim->get(QStringLiteral("/storms/klsx.json")));
    ASSERT_TRUE(std::holds_alternative<tracking::StormScanCells>(served));
    const tracking::StormScanCells& scan = std::get<tracking::StormScanCells>(served);
    const tracking::StormCell* x0 = cellNamed(scan, "X0");
    ASSERT_NE(x0, nullptr);
    // Home lies on X0's 30-minute forecast point; the farm 50 miles aside.
    const tracking::GeoPosition home = *x0->forecast[1];
    ASSERT_TRUE(
        window->places().add({QStringLiteral("Home"), home.latitude, home.longitude, 5, true}));
    ASSERT_TRUE(window->places().add(
        {QStringLiteral("Farm"), home.latitude + 0.72, home.longitude, 5, true}));

    startProcessOn(QStringLiteral("klsx"));
    ASSERT_FALSE(HasFatalFailure());
    const QString storms = sets::stormCellsFileOf(loop().slotFile(1));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(storms), kPageTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(messageLog().contains(QStringLiteral("Storm X0 near Home at ")),
                             kPageTimeoutMs)
        << messageLog().toStdString();
    EXPECT_FALSE(messageLog().contains(QStringLiteral("near Farm")));
    EXPECT_TRUE(messageLog().contains(QStringLiteral("min after the scan)")));
    QTreeWidget& list = *window->form9().ListView1;
    ASSERT_GE(list.topLevelItemCount(), 1);
    EXPECT_TRUE(list.topLevelItem(list.topLevelItemCount() - 1)
                    ->text(1)
                    .startsWith(QStringLiteral("Radar forecast X0 near Home: ETA: ")));
    // The view draws the shown image's cells.
    ASSERT_TRUE(controls().Image1->stormMarks());
    EXPECT_EQ(controls().Image1->stormMarks()->size(), scan.cells.size());

    // A saved set carries the cells with their image.
    const sets::SaveTarget target{QStringLiteral("Outbreak"), homePath("Sets/Outbreak"),
                                  homePath("Sets/Outbreak/Outbreak.sis")};
    ASSERT_TRUE(QDir().mkpath(homePath("Sets")));
    ASSERT_TRUE(sets::saveSetToFolder(loop().model(), 5, loop().loopImgBase(), target).ok);
    EXPECT_EQ(nubivista::testing::readBytes(homePath("Sets/Outbreak/latest1.storms.json")),
              nubivista::testing::readBytes(storms));
}

// A tornado warning issued 20 minutes ago (before the loop's scans) and in
// force for half an hour more: a box of 0.2° about a point, as the API
// gives it (GeoJSON, longitude first).
QByteArray tornadoWarningAround(double latitude, double longitude) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto iso = [](const QDateTime& t) { return t.toString(Qt::ISODate).toUtf8(); };
    const auto corner = [&](double dLat, double dLon) {
        return QByteArray("[") + QByteArray::number(longitude + dLon) + ", " +
               QByteArray::number(latitude + dLat) + "]";
    };
    return R"({"type": "FeatureCollection", "features": [{"type": "Feature",
        "geometry": {"type": "Polygon", "coordinates": [[)" +
           corner(-0.1, -0.1) + "," + corner(-0.1, 0.1) + "," + corner(0.1, 0.1) + "," +
           corner(0.1, -0.1) + "," + corner(-0.1, -0.1) + R"(]]},
        "properties": {"id": "urn:oid:1", "event": "Tornado Warning", "messageType": "Alert",
            "sent": ")" +
           iso(now.addSecs(-1200)) + R"(", "effective": ")" + iso(now.addSecs(-1200)) +
           R"(", "expires": ")" + iso(now.addSecs(1800)) + R"(",
            "headline": "Tornado Warning issued for St. Louis County",
            "parameters": {"VTEC": ["/O.NEW.KLSX.TO.W.0042.000000T0000Z-000000T0000Z/"],
                           "tornadoDetection": ["RADAR INDICATED"]}}}]})";
}

TEST_F(LiveFeedTest, APlaceInsideATornadoWarningIsToldOnceAndOneOutsideNot) {
    alerts.answer = tornadoWarningAround(38.6, -90.4);
    ASSERT_TRUE(window->places().add({QStringLiteral("Home"), 38.62, -90.38, 5, true}));
    ASSERT_TRUE(window->places().add({QStringLiteral("Farm"), 38.9, -90.4, 5, true}));
    startProcessOn(QStringLiteral("klsx"));
    ASSERT_FALSE(HasFatalFailure());
    QTRY_VERIFY_WITH_TIMEOUT(
        messageLog().contains(QStringLiteral("Tornado Warning for Home until ")), kPageTimeoutMs)
        << messageLog().toStdString();
    EXPECT_TRUE(
        messageLog().contains(QStringLiteral("Tornado Warning issued for St. Louis County")));
    EXPECT_FALSE(messageLog().contains(QStringLiteral("for Farm")));
    EXPECT_TRUE(QFileInfo::exists(sets::warningsFileOf(loop().slotFile(1))));
    ASSERT_TRUE(controls().Image1->warningMarks());
    EXPECT_EQ(controls().Image1->warningMarks()->size(), 1u);

    // The next image brings the same warning: nothing new is told.
    const qsizetype told = messages.size();
    upstream.publish("DS.p94r0", productFile("KLSX_SDUS23_N2QLSX_202112110250"),
                     scanTime.addSecs(300));
    const int stored = imagesStored();
    refresh().mnuRefresh_Click();
    QTRY_VERIFY_WITH_TIMEOUT(imagesStored() > stored, kPageTimeoutMs) << messageLog().toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(sets::warningsFileOf(loop().slotFile(2))),
                             kPageTimeoutMs);
    QTest::qWait(200);
    EXPECT_EQ(messages.size(), told) << messageLog().toStdString();
}

} // namespace
} // namespace nubivista::e2e
