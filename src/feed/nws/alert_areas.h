#pragma once
// Where a radar's long-range picture lies: which of the weather service's
// alert areas (states, territories, marine areas) it covers, and whether a
// warning's polygon crosses it. Warnings are asked for the long-range
// picture's area, the largest the program shows of a radar.
#include "feed/picture/state_outlines.h"
#include "radar/polygon.h"
#include "radar/site_table.h"

#include <QRectF>
#include <QStringList>
#include <span>

namespace nubivista::feed::nws {

// The long-range picture, in its pixels: 600 x 550 at 0.9908 miles a pixel.
QRectF longRangePictureRect();
// A point's place on a site's long-range picture, in its pixels.
QPointF longRangePixel(const radar::SiteRow& site, const picture::GeoPoint& point);

// The alert areas whose outline meets the site's long-range picture, sorted:
// the states and territories by the given outlines, and the marine areas by
// generous boxes (an area asked for in vain costs only bytes).
QStringList alertAreasOf(const radar::SiteRow& site, std::span<const picture::StateOutline> states);

// The polygon (its ring closes itself) crosses or lies on the site's
// long-range picture.
bool crossesLongRangePicture(const radar::SiteRow& site,
                             std::span<const picture::GeoPoint> polygon);

} // namespace nubivista::feed::nws
