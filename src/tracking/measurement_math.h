#pragma once
// The pure arithmetic of storm measurement: directions, the direction window
// of an ETA, compass texts, distances, marker sizes, the track line across the
// view and the number texts of the results. Coordinates are twips; nothing
// here knows a widget.
#include <QDateTime>
#include <QLineF>
#include <QSizeF>
#include <QString>

namespace nubivista::tracking {

// The compass bearing from point 1 to point 2: 0 = up (north), growing
// clockwise. degrees is -1 (and angle 0) when the points are the same;
// otherwise 0..360 (360 when the angle rounds up).
struct Direction {
    double angle = 0;
    int degrees = -1;
};
Direction ComputeDirection(float x1, float y1, float x2, float y2);

// 1 when target lies within 30 degrees of motion (edges excluded), -1 when
// within 30 degrees of the opposite direction, 0 otherwise.
float DirectionFactor(int motion, int target);

// "N", "NE", ... "NW"; the empty text for 360 and above.
QString CompassPoint(int direction);

// The label of the unit; a factor of exactly 0 is repaired to 1.0 (miles).
QString unitLabel(float& unitFactor);

// The marker factor f from the zoom and the range of the product.
float markerFactor(float zoomFactor, int longRangeFlag);
inline float markerSide(float factor) {
    return 195.0f * factor;
}
// Line1's width: f rounded, halves to even.
int trackLineWidth(float factor);

// The distance of a pixel displacement in the active unit, single precision.
float measuredDistance(float dx, float dy, float mapScaleActive, float zoomFactor,
                       float unitFactor);

// The line through a and b cut to the rectangle (0, 0)-(size); a vertical or
// horizontal track runs across the whole rectangle. a and b must differ.
QLineF trackLineAcross(QPointF a, QPointF b, QSizeF size);

// value rounded to `decimals` places, halves to even, written with "." and no
// trailing ".0" or zero before the point (0.5 as ".5", -1 as "-1").
QString numberText(double value, int decimals = 0);

// Rounds half to even to a whole number.
double roundHalfEven(double value);

// "h:mm AM/PM m/d/yy" with the given date separator.
QString etaTimeText(const QDateTime& local, QChar dateSeparator = u'/');

} // namespace nubivista::tracking
