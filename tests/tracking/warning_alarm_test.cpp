// The warning alarm over the feed's warnings: a place inside a warning's
// polygon is told once, again only when the warning is upgraded for it, and
// never for a warning not in force or a place outside.
#include "support/scoped_time_zone.h"
#include "tracking/warning_alarm.h"

#include <gtest/gtest.h>

using namespace nubivista::tracking;

namespace {

const QDateTime kNow(QDate(2021, 12, 11), QTime(2, 20), Qt::UTC);

// The feed's form: one full tornado warning, one with only what a warning
// must have, and three it cannot use.
const QByteArray kFeedAnswer = R"({"site": "klsx", "fetched": "2021-12-11T02:20:00Z",
  "warnings": [
    {"id": "KLSX.TO.W.0042", "event": "Tornado Warning", "headline": "Tornado Warning for St. Louis",
     "issued": "2021-12-11T02:16:00Z", "expires": "2021-12-11T03:00:00Z",
     "polygon": [[38.55, -90.5], [38.58, -90.25], [38.78, -90.28], [38.72, -90.52]],
     "motion": {"fromDeg": 250, "speedKt": 35}, "hailIn": 1.5, "windMph": null,
     "tornado": "RADAR INDICATED", "damageThreat": null},
    {"id": "KDVN.SV.W.0031", "event": "Severe Thunderstorm Warning",
     "issued": "2021-12-11T02:08:00Z", "expires": "2021-12-11T02:40:00Z",
     "polygon": [[41.0, -91.0], [41.0, -90.5], [41.4, -90.5]]},
    {"id": "KLSX.SV.W.0100", "event": "Severe Thunderstorm Warning",
     "issued": "2021-12-11T02:00:00Z", "expires": "2021-12-11T02:45:00Z", "polygon": [[38.2, -91.2]]},
    {"id": "KLSX.SV.W.0101", "event": "Severe Thunderstorm Warning",
     "issued": "2021-12-11T02:00:00Z", "polygon": [[38.2, -91.2], [38.2, -90.9], [38.4, -90.9]]},
    {"event": "Severe Thunderstorm Warning", "issued": "2021-12-11T02:00:00Z",
     "expires": "2021-12-11T02:45:00Z", "polygon": [[38.2, -91.2], [38.2, -90.9], [38.4, -90.9]]}
  ]})";

WarningsSnapshot snapshot() {
    return std::get<WarningsSnapshot>(readWarnings(kFeedAnswer));
}

} // namespace

TEST(WarningAlarm, TheFeedsWarningsAreReadAndWhatIsBadIsLeftOut) {
    const WarningsSnapshot read = snapshot();
    ASSERT_EQ(read.warnings.size(), 2u) << "a two-point polygon, no expiry and no id are left out";
    const Warning& tornado = read.warnings[0];
    EXPECT_EQ(tornado.motionFromDeg, 250);
    EXPECT_EQ(tornado.hailIn, 1.5);
    EXPECT_FALSE(tornado.windMph.has_value()) << "null is missing, not zero";
    EXPECT_EQ(tornado.tornado, QStringLiteral("RADAR INDICATED"));
    EXPECT_TRUE(tornado.damageThreat.isEmpty());
    EXPECT_FALSE(read.warnings[1].hailIn.has_value());
    EXPECT_FALSE(std::holds_alternative<WarningsSnapshot>(readWarnings("{\"warnings\": 3}")));
}

TEST(WarningAlarm, APlaceInsideIsToldOnceAndAgainOnlyForAnUpgrade) {
    const nubivista::testing::ScopedTimeZone zone("America/Chicago");
    const WatchedPlace home{QStringLiteral("Home"), {38.65, -90.4}, 5};
    const WatchedPlace farm{QStringLiteral("Farm"), {38.9, -90.4}, 5};
    // A corner of the polygon counts as inside.
    const WatchedPlace corner{QStringLiteral("Corner"), {38.58, -90.25}, 5};
    WarningWatch watch;
    const std::vector<WarningAlarm> first = watch.consider(snapshot(), {home, farm, corner}, kNow);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].summary(), QStringLiteral("Tornado Warning for Home until 21:00"));
    EXPECT_EQ(first[0].body(), QStringLiteral("Tornado Warning for St. Louis; tornado radar "
                                              "indicated; hail up to 1.50 in"));
    EXPECT_EQ(first[0].etaListText(),
              QStringLiteral("Warning: Tornado Warning for Home until 9:00 PM 12/10/21"));
    EXPECT_TRUE(first[0].critical());
    EXPECT_EQ(first[1].place, QStringLiteral("Corner"));

    struct Update {
        const char* what;
        std::function<void(Warning&)> change;
        bool told;
    };
    const Update updates[] = {
        {"the same warning again", [](Warning&) {}, false},
        {"a new headline and a later expiry",
         [](Warning& w) {
             w.headline = QStringLiteral("extended");
             w.expires = w.expires.addSecs(900);
         },
         false},
        {"a tornado observed", [](Warning& w) { w.tornado = QStringLiteral("OBSERVED"); }, true},
        {"observed still", [](Warning& w) { w.tornado = QStringLiteral("OBSERVED"); }, false},
        {"a considerable threat",
         [](Warning& w) { w.damageThreat = QStringLiteral("CONSIDERABLE"); }, true},
        {"the threat dropped, then back", [](Warning& w) { w.damageThreat.clear(); }, false},
        {"considerable again", [](Warning& w) { w.damageThreat = QStringLiteral("CONSIDERABLE"); },
         false},
        {"larger hail", [](Warning& w) { w.hailIn = 2.0; }, true},
        {"wind given", [](Warning& w) { w.windMph = 70; }, true},
        {"smaller hail", [](Warning& w) { w.hailIn = 1.0; }, false},
    };
    for (const Update& update : updates) {
        WarningsSnapshot next = snapshot();
        update.change(next.warnings[0]);
        EXPECT_EQ(watch.consider(next, {home}, kNow.addSecs(60)).size(), update.told ? 1u : 0u)
            << update.what;
    }
    // Not yet issued, or expired: nothing.
    WarningWatch fresh;
    EXPECT_TRUE(fresh.consider(snapshot(), {home}, kNow.addSecs(-600)).empty());
    EXPECT_TRUE(fresh.consider(snapshot(), {home}, kNow.addSecs(3600)).empty());
}
