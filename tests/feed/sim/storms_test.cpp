#include "feed/sim/frame_renderer.h"
#include "feed/sim/storm_model.h"
#include "sim_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace nubivista::feed::sim::testing {
namespace {

class Truth : public SimFixture {
protected:
    QJsonObject truth(const QByteArray& site, const QByteArray& product) {
        const WireReply reply = request("/_sim/truth?site=" + site + "&product=" + product);
        EXPECT_EQ(reply.status, 200);
        return QJsonDocument::fromJson(reply.body).object();
    }
};

TEST_F(Truth, CellsMoveAtTheStatedSpeedAndHeading) {
    for (const QByteArray product : {"DS.p19r0", "DS.p20-r"}) {
        const QJsonObject before = truth("kmkx", product);
        admin("/_sim/advance?frames=1");
        const QJsonObject after = truth("kmkx", product);
        const double speed = before.value(QStringLiteral("speedMph")).toDouble();
        const double heading = before.value(QStringLiteral("headingDeg")).toDouble();
        const double mpp = before.value(QStringLiteral("milesPerPixel")).toDouble();
        EXPECT_NEAR(before.value(QStringLiteral("speedKmh")).toDouble(), speed * 1.609344, 1e-9);
        EXPECT_DOUBLE_EQ(mpp, product == "DS.p19r0" ? kMilesPerPixelShort : kMilesPerPixelLong);
        const QJsonArray cellsBefore = before.value(QStringLiteral("cells")).toArray();
        const QJsonArray cellsAfter = after.value(QStringLiteral("cells")).toArray();
        ASSERT_EQ(cellsBefore.size(), cellsAfter.size());
        ASSERT_GT(cellsBefore.size(), 0);
        const double expectedMiles = speed * 300.0 / 3600.0;
        for (qsizetype i = 0; i < cellsBefore.size(); ++i) {
            const QJsonObject a = cellsBefore[i].toObject();
            const QJsonObject b = cellsAfter[i].toObject();
            const double dx =
                b.value(QStringLiteral("x")).toDouble() - a.value(QStringLiteral("x")).toDouble();
            const double dy =
                b.value(QStringLiteral("y")).toDouble() - a.value(QStringLiteral("y")).toDouble();
            const double miles = std::hypot(dx, dy) * mpp;
            if (miles > 2 * expectedMiles) {
                continue; // wrapped round the simulated area
            }
            EXPECT_NEAR(miles, expectedMiles, 1e-6);
            // Image y grows southward; heading is clockwise from north.
            double bearing = std::atan2(dx, -dy) * 180.0 / 3.14159265358979;
            if (bearing < 0) {
                bearing += 360.0;
            }
            EXPECT_NEAR(bearing, heading, 1e-6);
            // The lat/lon position agrees with the pixel position.
            double east = 0;
            double north = 0;
            latLonToOffset(*findSite(QStringLiteral("kmkx")),
                           GeoPoint{a.value(QStringLiteral("lat")).toDouble(),
                                    a.value(QStringLiteral("lon")).toDouble()},
                           east, north);
            EXPECT_NEAR(300 + east / mpp, a.value(QStringLiteral("x")).toDouble(), 1e-6);
            EXPECT_NEAR(275 - north / mpp, a.value(QStringLiteral("y")).toDouble(), 1e-6);
        }
    }
    EXPECT_EQ(request("/_sim/truth?site=klot").status, 400);
}

TEST(StormModelTest, SpeedAndHeadingFollowTheSiteCode) {
    const StormModel a(QStringLiteral("kmkx"));
    const StormModel b(QStringLiteral("KMKX"));
    const StormModel c(QStringLiteral("ktlx"));
    EXPECT_EQ(a.speedMph(), b.speedMph());
    EXPECT_EQ(a.headingDegrees(), b.headingDegrees());
    EXPECT_TRUE(a.speedMph() != c.speedMph() || a.headingDegrees() != c.headingDegrees());
    EXPECT_GE(a.speedMph(), 15.0);
    EXPECT_LE(a.speedMph(), 55.0);
}

TEST(FrameImages, ConsecutiveFramesNeverShareASize) {
    const Site site = *findSite(QStringLiteral("pgua"));
    for (const Product& product : kProducts) {
        qsizetype previous = -1;
        for (qint64 index = 5000000; index < 5000003; ++index) {
            const QByteArray gif = frameGif(site, product, index * 300, index);
            ASSERT_FALSE(gif.isEmpty());
            EXPECT_NE(gif.size(), previous) << product.code.data() << " frame " << index;
            EXPECT_EQ(gif.size() % 2, index % 2);
            EXPECT_EQ(gif.capacity(), gif.size()); // what the frame cache counts
            EXPECT_FALSE(QImage::fromData(gif, "GIF").isNull());
            previous = gif.size();
        }
    }
}

} // namespace
} // namespace nubivista::feed::sim::testing
