#include "radar/polygon.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace nubivista::radar {

namespace {

// Which side of the line a-b the point c is on: > 0 left, < 0 right, 0 on it.
double turn(const QPointF& a, const QPointF& b, const QPointF& c) {
    return (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
}

bool withinBox(const QPointF& a, const QPointF& b, const QPointF& c) {
    return c.x() >= std::min(a.x(), b.x()) && c.x() <= std::max(a.x(), b.x()) &&
           c.y() >= std::min(a.y(), b.y()) && c.y() <= std::max(a.y(), b.y());
}

bool onSegment(const QPointF& a, const QPointF& b, const QPointF& c) {
    // Relative to the edge's length, so that pixels and miles work alike.
    const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
    return std::abs(turn(a, b, c)) <= 1e-9 * std::max(length, 1.0) * std::max(length, 1.0) &&
           withinBox(a, b, c);
}

bool segmentsMeet(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d) {
    const double d1 = turn(c, d, a);
    const double d2 = turn(c, d, b);
    const double d3 = turn(a, b, c);
    const double d4 = turn(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    return onSegment(c, d, a) || onSegment(c, d, b) || onSegment(a, b, c) || onSegment(a, b, d);
}

// The closed rectangle, edges included (QRectF::contains leaves some out).
bool rectHolds(const QRectF& rect, const QPointF& point) {
    return point.x() >= rect.left() && point.x() <= rect.right() && point.y() >= rect.top() &&
           point.y() <= rect.bottom();
}

} // namespace

bool ringContains(std::span<const QPointF> ring, const QPointF& point) {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const QPointF& a = ring[j];
        const QPointF& b = ring[i];
        if (onSegment(a, b, point))
            return true;
        // Crossings of a ray from the point to the right.
        if ((a.y() > point.y()) != (b.y() > point.y()) &&
            point.x() < a.x() + (point.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
            inside = !inside;
    }
    return inside;
}

bool polygonContains(std::span<const Ring> rings, const QPointF& point) {
    // A point on any ring's edge is on the polygon's border, and so inside.
    bool inside = false;
    for (const Ring& ring : rings) {
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
            if (onSegment(ring[j], ring[i], point))
                return true;
        if (ringContains(ring, point))
            inside = !inside;
    }
    return inside;
}

bool polygonMeetsRect(std::span<const Ring> rings, const QRectF& rect) {
    const std::array<QPointF, 4> corners = {rect.topLeft(), rect.topRight(), rect.bottomRight(),
                                            rect.bottomLeft()};
    for (const Ring& ring : rings) {
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            if (rectHolds(rect, ring[i]))
                return true;
            for (std::size_t k = 0; k < corners.size(); ++k)
                if (segmentsMeet(ring[j], ring[i], corners[k], corners[(k + 1) % corners.size()]))
                    return true;
        }
    }
    // No edge meets the rectangle's: it is wholly inside the polygon or outside.
    return polygonContains(rings, rect.center());
}

} // namespace nubivista::radar
