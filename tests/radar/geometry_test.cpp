// The pictures' projection against points whose offsets are known on a
// sphere: along a meridian and along the equator distances are arcs of the
// Earth's radius, and the antipode has no place.
#include "radar/geometry.h"

#include <gtest/gtest.h>
#include <numbers>

using namespace nubivista::radar;

TEST(Geometry, KnownPointsProjectToTheirArcsAndBack) {
    const double degree = kEarthRadiusMiles * std::numbers::pi / 180; // miles of one degree
    struct Case {
        GeoPoint centre;
        GeoPoint point;
        double east;
        double north;
    };
    const Case cases[] = {
        {{42.97, -88.55}, {42.97, -88.55}, 0, 0},
        {{42.97, -88.55}, {43.97, -88.55}, 0, degree},
        {{42.97, -88.55}, {40.97, -88.55}, 0, -2 * degree},
        {{0, 0}, {0, 1}, degree, 0},
        {{0, 10}, {0, -80}, -90 * degree, 0},
        {{13.46, 179.5}, {13.46 + 0.5, 179.5}, 0, 0.5 * degree},
        {{0, 179.5}, {0, -179.5}, degree, 0},
    };
    for (const Case& c : cases) {
        const PlaneOffset offset = projectFrom(c.centre, c.point);
        ASSERT_TRUE(offset.valid);
        EXPECT_NEAR(offset.east, c.east, 1e-6);
        EXPECT_NEAR(offset.north, c.north, 1e-6);
        const GeoPoint back = unprojectFrom(c.centre, c.east, c.north);
        EXPECT_NEAR(back.latitude, c.point.latitude, 1e-9);
        EXPECT_NEAR(back.longitude, c.point.longitude, 1e-9);
    }
    EXPECT_FALSE(projectFrom({0, 0}, {0, 180}).valid);
    const GeoPoint east = pointAtRange({0, 0}, 10 * degree, 90);
    EXPECT_NEAR(east.latitude, 0, 1e-9);
    EXPECT_NEAR(east.longitude, 10, 1e-9);
}
