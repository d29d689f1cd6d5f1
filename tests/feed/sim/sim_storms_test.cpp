// The simulator's storm cells: their JSON, the scans asked for, and their
// places through the program's projection on the simulator's own pictures.
#include "radar/geometry.h"
#include "sim_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <numbers>
#include <utility>

namespace nubivista::feed::sim::testing {
namespace {

class SimStorms : public SimFixture {
protected:
    QJsonObject json(const QByteArray& path) {
        const WireReply reply = request(path);
        EXPECT_EQ(reply.status, 200) << path.constData();
        return QJsonDocument::fromJson(reply.body).object();
    }
    // Miles east and north of the radar of a served place.
    static radar::PlaneOffset offset(const QJsonObject& truth, const QJsonValue& place) {
        return radar::projectFrom({truth["lat"].toDouble(), truth["lon"].toDouble()},
                                  {place["lat"].toDouble(), place["lon"].toDouble()});
    }
};

TEST_F(SimStorms, AskedScansAndRadarsWithoutTracking) {
    const struct {
        QByteArray query;
        int status;
        QString scanOrReason;
    } cases[] = {
        {"kmkx.json", 200, "2026-06-12T13:55:00Z"},
        {"kmkx.json?scan=2026-06-12T13:32:10Z", 200, "2026-06-12T13:30:00Z"},
        {"kmkx.json?scan=2026-06-12T13:05:00Z", 200, "2026-06-12T13:10:00Z"}, // the oldest held
        {"kmkx.json?scan=2026-06-12T13:03:00Z", 404, "the feed holds no storm scan of"},
        {"kmkx.json?scan=yesterday", 404, "the feed holds no storm scan of"},
        {"tstl.json", 404, "TSTL publishes no storm tracking information product"},
        {"zzzz.json", 404, "the feed has no page at this address"},
    };
    for (const auto& [query, status, expected] : cases) {
        const WireReply reply = request("/storms/" + query);
        ASSERT_EQ(reply.status, status) << query.constData();
        if (status == 200) {
            EXPECT_EQ(QJsonDocument::fromJson(reply.body)["scanTime"].toString(), expected);
            EXPECT_EQ(reply.header("content-type"), "application/json");
            EXPECT_TRUE(reply.header("cache-control").startsWith("max-age="));
            EXPECT_FALSE(reply.header("last-modified").isEmpty());
        } else {
            EXPECT_TRUE(reply.header("x-nubivista-reason").startsWith(expected.toUtf8()));
        }
    }
    admin("/_sim/fault?name=500&match=/storms/");
    EXPECT_EQ(request("/storms/kmkx.json").status, 500);
}

TEST_F(SimStorms, CellsTravelInStraightLinesAndSitWhereThePicturesDrawThem) {
    const QJsonObject storms = json("/storms/kmkx.json");
    const QJsonObject longRange = json("/_sim/truth?site=kmkx&product=DS.p20-r");
    const QJsonObject shortRange = json("/_sim/truth?site=kmkx&product=DS.p19r0");
    const double speed = longRange["speedMph"].toDouble();
    const double heading = longRange["headingDeg"].toDouble();
    int mesocyclones = 0, hail = 0, onShortRange = 0;
    qsizetype visible = 0;
    for (const QJsonValue cell : longRange["cells"].toArray())
        visible += cell["visible"].toBool();
    ASSERT_EQ(storms["cells"].toArray().size(), visible);
    for (const QJsonValue cell : storms["cells"].toArray()) {
        const QString id = cell["id"].toString();
        SCOPED_TRACE(id.toStdString());
        const qsizetype index = (id[0].unicode() - 'A') + 26 * id.mid(1).toInt();
        const radar::PlaneOffset at = offset(longRange, cell);
        // The program's picture scale: 30.2787 twips a mile, 15 twips a pixel.
        for (const auto& [truth, pixelsPerMile] :
             {std::pair{&longRange, 30.2787 / 30}, std::pair{&shortRange, 30.2787 / 15}}) {
            const QJsonValue drawn = (*truth)["cells"][index];
            ASSERT_TRUE(truth == &shortRange || drawn["visible"].toBool());
            if (!drawn["visible"].toBool())
                continue;
            onShortRange += truth == &shortRange;
            EXPECT_NEAR(300 + at.east * pixelsPerMile, drawn["x"].toDouble(), 2.0);
            EXPECT_NEAR(275 - at.north * pixelsPerMile, drawn["y"].toDouble(), 2.0);
        }
        EXPECT_EQ(cell["rangeNm"].toInt(), std::lround(std::hypot(at.east, at.north) / 1.150779));
        EXPECT_EQ(cell["movementFromDeg"].toDouble(), std::fmod(heading + 180, 360));
        EXPECT_NEAR(cell["speedKt"].toDouble(), speed / 1.150779, 0.05);
        // Forecast ahead and past behind, a quarter hour and five minutes of
        // travel apart, all on the line of motion.
        const double radians = heading * std::numbers::pi / 180;
        const auto onTrack = [&](const QJsonValue& place, double minutes) {
            const radar::PlaneOffset there = offset(longRange, place);
            const double miles = speed * minutes / 60;
            EXPECT_NEAR(there.east - at.east, miles * std::sin(radians), 0.05);
            EXPECT_NEAR(there.north - at.north, miles * std::cos(radians), 0.05);
        };
        ASSERT_EQ(cell["forecast"].toArray().size(), 4);
        ASSERT_EQ(cell["past"].toArray().size(), 4);
        for (int step = 0; step < 4; ++step) {
            EXPECT_EQ(cell["forecast"][step]["minutes"].toInt(), 15 * (step + 1));
            onTrack(cell["forecast"][step], 15 * (step + 1));
            onTrack(cell["past"][step], -5 * (step + 1));
        }
        mesocyclones += cell["mesocyclone"].toBool();
        hail += cell["hail"].isObject();
    }
    EXPECT_EQ(mesocyclones, 1);
    EXPECT_GT(hail, 0);
    EXPECT_LT(hail, visible);
    EXPECT_GT(onShortRange, 0);
}

} // namespace
} // namespace nubivista::feed::sim::testing
