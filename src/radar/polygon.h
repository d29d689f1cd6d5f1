#pragma once
// Polygons on a plane (a picture's pixels, or miles from a radar): whether a
// point is inside, and whether a polygon meets a rectangle. The feed keeps the
// warnings that cross a radar's picture with them; the program finds the
// places under a warning with them.
#include <QPointF>
#include <QRectF>
#include <span>
#include <vector>

namespace nubivista::radar {

// A ring closes itself: its last point joins its first. A polygon is one or
// more rings, holes included; a point is inside when it is inside an odd
// number of them.
using Ring = std::vector<QPointF>;

// A point on a ring's edge or corner counts as inside.
bool ringContains(std::span<const QPointF> ring, const QPointF& point);
bool polygonContains(std::span<const Ring> rings, const QPointF& point);

// The polygon and the rectangle share at least one point: an edge crosses or
// touches it, a corner lies in it, or one holds the other.
bool polygonMeetsRect(std::span<const Ring> rings, const QRectF& rect);

} // namespace nubivista::radar
