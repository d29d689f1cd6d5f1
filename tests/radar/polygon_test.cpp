// Points in polygons, and polygons on rectangles, on points built from the
// polygon's own corners and edges.
#include "radar/polygon.h"

#include <gtest/gtest.h>

using namespace nubivista::radar;

namespace {

// An L (a concave corner at 2,2) with a square hole in its foot.
const std::vector<Ring> kShape = {
    {{0, 0}, {6, 0}, {6, 2}, {2, 2}, {2, 6}, {0, 6}},
    {{3, 0.5}, {4, 0.5}, {4, 1.5}, {3, 1.5}},
};

} // namespace

TEST(PolygonTest, CornersAndEdgesAreInsideAndAStepOutwardIsNot) {
    for (const Ring& ring : kShape) {
        // Both rings run the same way round: a step to one side of an edge
        // goes into the L, and into the hole, which is outside.
        const double into = &ring == &kShape.front() ? 0.01 : -0.01;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const QPointF a = ring[i];
            const QPointF b = ring[(i + 1) % ring.size()];
            const QPointF middle = (a + b) / 2;
            const QPointF side(a.y() - b.y(), b.x() - a.x());
            const QPointF inward = middle + side * into;
            const QPointF outward = middle - side * into;
            EXPECT_TRUE(polygonContains(kShape, a)) << a.x() << "," << a.y();
            EXPECT_TRUE(polygonContains(kShape, middle)) << middle.x() << "," << middle.y();
            EXPECT_TRUE(polygonContains(kShape, inward)) << inward.x() << "," << inward.y();
            EXPECT_FALSE(polygonContains(kShape, outward)) << outward.x() << "," << outward.y();
        }
    }
    EXPECT_FALSE(polygonContains(kShape, {4, 4})) << "in the L's crook";
}

TEST(PolygonTest, PointsLevelWithACornerOrInLineWithAnEdgeAreToldApart) {
    const struct {
        QPointF point;
        bool inside;
    } cases[] = {
        // level with corners, where a ray to the right passes through them
        {{1, 2}, true},
        {{1, 0.5}, true},
        {{1, 1.5}, true},
        {{5, 0.5}, true},
        {{2.5, 1.5}, true},
        {{3.5, 1}, false},
        {{7, 2}, false},
        {{3, 6}, false},
        // in line with an edge but past its end
        {{8, 0}, false},
        {{6, -1}, false},
        {{0, -1}, false},
        {{0, 7}, false},
        {{2, 7}, false},
        {{-1, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(polygonContains(kShape, c.point), c.inside) << c.point.x() << "," << c.point.y();
}

TEST(PolygonTest, APolygonMeetsARectangleWhenTheyShareAnyPoint) {
    const struct {
        QRectF rect;
        bool meets;
        const char* why;
    } cases[] = {
        {{0.5, 3, 1, 1}, true, "inside the L's stem"},
        {{-1, -1, 10, 10}, true, "around the whole shape"},
        {{3.2, 0.7, 0.5, 0.5}, false, "inside the hole"},
        {{3, 3, 2, 2}, false, "in the crook"},
        {{6, 2, 1, 1}, true, "touching a corner"},
        {{1, 1.5, 0.2, 5}, true, "crossing edges with no corner in it"},
        {{-1, 1, 8, 0.2}, true, "a band across, holding no corner"},
        {{7, 0, 1, 1}, false, "beside it"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(polygonMeetsRect(kShape, c.rect), c.meets) << c.why;
}
