// The approach alarm over a storm the radar forecasts: X0 of KLSX's night of
// 10 December 2021, 154 nm south-south-east of the radar and coming from 236°
// at 41 kt, as the feed serves it.
#include "support/scoped_time_zone.h"
#include "tracking/storm_alarm.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace nubivista::tracking;

namespace {

constexpr double kMilesPerDegree = 69.09;
const QDateTime kScan(QDate(2021, 12, 11), QTime(2, 15, 38), Qt::UTC);

// A place miles east and north of another.
GeoPosition moved(const GeoPosition& from, double east, double north) {
    return {from.latitude + north / kMilesPerDegree,
            from.longitude +
                east / (kMilesPerDegree * std::cos(from.latitude * std::numbers::pi / 180))};
}

// X0 and its forecast: 41 kt (47.2 mph) towards 56°, 11.8 mi each quarter hour.
StormCell x0(double speedKt = 41) {
    StormCell cell;
    cell.id = QStringLiteral("X0");
    cell.at = {36.2787, -89.6515};
    cell.movementFromDeg = 236;
    cell.speedKt = speedKt;
    const double step = speedKt * 1.150779 / 4;
    const double heading = 56 * std::numbers::pi / 180;
    for (int slot = 0; slot < 4; ++slot)
        cell.forecast[std::size_t(slot)] = moved(cell.at, (slot + 1) * step * std::sin(heading),
                                                 (slot + 1) * step * std::cos(heading));
    return cell;
}

StormScanCells scanOf(StormCell cell, const QDateTime& time = kScan) {
    return {QStringLiteral("klsx"), time, {std::move(cell)}};
}

} // namespace

TEST(StormAlarm, APlaceOnTheTrackIsWarnedOnceAndAgainOnlyWhenTheStormComesSooner) {
    const nubivista::testing::ScopedTimeZone zone("America/Chicago");
    const StormCell cell = x0();
    const WatchedPlace home{QStringLiteral("Home"), *cell.forecast[1], 5};
    // 20 nm (23 mi) to the side of the track, at its 30-minute point.
    const double side = 23.0157;
    const WatchedPlace aside{QStringLiteral("Farm"),
                             moved(*cell.forecast[1], side * std::cos(56 * std::numbers::pi / 180),
                                   -side * std::sin(56 * std::numbers::pi / 180)),
                             5};
    StormWatch watch;
    const std::vector<StormAlarm> first = watch.consider(scanOf(cell), {home, aside});
    ASSERT_EQ(first.size(), 1u) << "none for the place off the track";
    const StormAlarm& alarm = first[0];
    EXPECT_NEAR(alarm.minutesFromScan, 30, 2);
    EXPECT_LT(alarm.distanceMiles, 0.5);
    EXPECT_EQ(alarm.summary(), QStringLiteral("Storm X0 near Home at 20:45"));
    EXPECT_FALSE(alarm.critical());
    EXPECT_EQ(alarm.body([](const QDateTime& t) { return t.toString(QStringLiteral("HH:mm")); }),
              QStringLiteral(
                  "ETA 02:45 (30 min after the scan), closest 0 mi; from 236° at 41 kt (47 mph)"));
    EXPECT_EQ(alarm.etaListText(),
              QStringLiteral("Radar forecast X0 near Home: ETA: 8:45 PM 12/10/21 ... 0 Mi @ 47 "
                             "Mi/Hr @ 56 deg. NE"));

    // The next scan, five minutes on, forecasts the same arrival: no second alarm.
    StormCell later = cell;
    later.at = moved(cell.at, 3.26, 2.20); // 5 minutes along
    const QDateTime next = kScan.addSecs(300);
    EXPECT_TRUE(watch.consider(scanOf(later, next), {home}).empty());
    // Sped up, it comes 6 minutes sooner: warned again.
    StormCell faster = x0(41 * 30.0 / 24.0);
    EXPECT_EQ(watch.consider(scanOf(faster), {home}).size(), 1u);
    // Turned dangerous at the same time: warned again, and critical.
    faster.tvs = true;
    const std::vector<StormAlarm> tornado = watch.consider(scanOf(faster), {home});
    ASSERT_EQ(tornado.size(), 1u);
    EXPECT_TRUE(tornado[0].critical());
    StormAlarm hailing = first[0];
    hailing.cell.hail = StormHail{100, 50, 1.25};
    EXPECT_TRUE(hailing.critical()) << "severe hail at 50 %";
    // Hours later the radar gives the id to another storm: it is warned of.
    EXPECT_EQ(watch.consider(scanOf(cell, kScan.addSecs(3 * 3600)), {home}).size(), 1u);
    // So is another radar's X0, the same night.
    StormScanCells other = scanOf(cell);
    other.site = QStringLiteral("kpah");
    EXPECT_EQ(watch.consider(other, {home}).size(), 1u);
    // A new cell has no forecast, so no approach.
    StormCell young = cell;
    young.forecast = {};
    EXPECT_FALSE(closestApproach(young, home.at).has_value());
}

TEST(StormAlarm, TheFeedsCellsAreReadAndWhatIsBadIsLeftOut) {
    const QByteArray json = R"({"site":"klsx","scanTime":"2021-12-11T02:15:38Z","cells":[
        {"id":"X0","lat":36.2787,"lon":-89.6515,"movementFromDeg":236,"speedKt":41,
         "forecast":[{"minutes":15,"lat":36.35,"lon":-89.5},null,null,null],
         "past":[{"lat":36.2,"lon":-89.8}],"maxDbz":null,"hail":{"probability":100,
         "severeProbability":50,"maxSizeIn":1.25},"mesocyclone":true,"tvs":false},
        {"id":"U7","lat":36.5,"lon":-89.9,"movementFromDeg":null,"speedKt":null,
         "forecast":[null,null,null,null],"past":[]},
        {"id":"","lat":36.5,"lon":-89.9},
        {"id":"Q1","lat":"north","lon":-89.9}]})";
    const auto read = readStormCells(json);
    ASSERT_TRUE(std::holds_alternative<StormScanCells>(read))
        << std::get<QString>(read).toStdString();
    const StormScanCells& scan = std::get<StormScanCells>(read);
    EXPECT_EQ(scan.scanTime, kScan);
    ASSERT_EQ(scan.cells.size(), 2u) << "a cell without id or place is left out";
    const StormCell& full = scan.cells[0];
    EXPECT_EQ(full.speedKt, 41);
    ASSERT_TRUE(full.forecast[0].has_value());
    EXPECT_FALSE(full.forecast[1].has_value());
    EXPECT_EQ(full.past.size(), 1u);
    EXPECT_FALSE(full.maxDbz.has_value());
    ASSERT_TRUE(full.hail.has_value());
    EXPECT_EQ(full.hail->severeProbability, 50);
    EXPECT_TRUE(full.mesocyclone);
    EXPECT_FALSE(scan.cells[1].movementFromDeg.has_value()) << "a new cell";
    for (const QByteArray& bad : {QByteArray("<html>"), QByteArray(R"({"cells":[]})")})
        EXPECT_TRUE(std::holds_alternative<QString>(readStormCells(bad)));
}

TEST(StormAlarm, CellsAtTheEdgesOfWhatIsValidAreKeptAndOnePastThemIsLeftOut) {
    const auto idsRead = [](const QByteArray& cells) {
        const auto read = readStormCells(
            R"({"site":"klsx","scanTime":"2021-12-11T02:15:38Z","cells":[)" + cells + "]}");
        QStringList ids;
        if (const auto* scan = std::get_if<StormScanCells>(&read))
            for (const StormCell& cell : scan->cells)
                ids << cell.id;
        return ids.join(QLatin1Char(' '));
    };
    EXPECT_EQ(idsRead(R"({"id":"N","lat":90,"lon":-180},{"id":"S","lat":-90,"lon":180},
                         {"id":"ABCDEFGH","lat":1,"lon":1},{"id":"ABCDEFGHI","lat":1,"lon":1},
                         {"id":"P","lat":90.01,"lon":1},{"id":"E","lat":1,"lon":180.01})"),
              QStringLiteral("N S ABCDEFGH"));

    QByteArray many = R"({"id":"A","lat":1,"lon":1})";
    for (int i = 1; i < 1000; ++i)
        many += R"(,{"id":"A","lat":1,"lon":1})";
    EXPECT_EQ(idsRead(many).count(QLatin1Char('A')), 1000) << "a thousand cells are read";
    EXPECT_EQ(idsRead(many + R"(,{"id":"A","lat":1,"lon":1})"), QString())
        << "more than a thousand are refused";
}
