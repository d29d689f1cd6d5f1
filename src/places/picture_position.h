#pragma once
// Where a point of a radar picture lies on the Earth, and back. Every picture
// is 600 x 550 pixels with its radar at pixel 300,275, drawn at the program's
// default map scale (30.2787 twips a statute mile, 15 twips a pixel); a long
// range picture shows twice the miles a pixel. Picture points are reckoned as
// the measurement reckons clicks: twips from the picture's top left corner,
// at the zoom shown.
#include "radar/geometry.h"

#include <QPointF>
#include <optional>

namespace nubivista::places {

inline constexpr QPointF kRadarPixel{300, 275};

// The place under a point of the picture of a radar at site.
radar::GeoPoint pointOnPicture(const radar::GeoPoint& site, bool longRange, float zoomFactor,
                               QPointF twipsInPicture);

// The pixel of the picture at zoom 1 that shows a place; nothing for a place
// on the far side of the Earth.
std::optional<QPointF> picturePixelOf(const radar::GeoPoint& site, bool longRange,
                                      const radar::GeoPoint& place);

} // namespace nubivista::places
