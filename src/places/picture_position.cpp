#include "places/picture_position.h"

#include "core/settings.h"
#include "radar/geometry.h"
#include "tracking/measurement_math.h"

namespace nubivista::places {

namespace {

// The picture's scale in twips a mile: the map scale the pictures are drawn
// at, whatever scale the user measures with.
float pictureScale(bool longRange) {
    return longRange ? core::defaultMapScale() / 2 : core::defaultMapScale();
}

} // namespace

radar::GeoPoint pointOnPicture(const radar::GeoPoint& site, bool longRange, float zoomFactor,
                               QPointF twipsInPicture) {
    // The radar's point and the click measured as the storm measurement
    // measures two clicks: distance and compass direction.
    const float radarX = static_cast<float>(kRadarPixel.x() * core::kTwipsPerPixel) * zoomFactor;
    const float radarY = static_cast<float>(kRadarPixel.y() * core::kTwipsPerPixel) * zoomFactor;
    const auto x = static_cast<float>(twipsInPicture.x());
    const auto y = static_cast<float>(twipsInPicture.y());
    const tracking::Direction direction = tracking::ComputeDirection(radarX, radarY, x, y);
    if (direction.degrees < 0)
        return site;
    const float miles = tracking::measuredDistance(radarX - x, radarY - y, pictureScale(longRange),
                                                   zoomFactor, 1.0f);
    return radar::pointAtRange(site, miles, direction.angle);
}

std::optional<QPointF> picturePixelOf(const radar::GeoPoint& site, bool longRange,
                                      const radar::GeoPoint& place) {
    const radar::PlaneOffset offset = radar::projectFrom(site, place);
    if (!offset.valid)
        return std::nullopt;
    const double pixelsPerMile = pictureScale(longRange) / core::kTwipsPerPixel;
    return QPointF(kRadarPixel.x() + offset.east * pixelsPerMile,
                   kRadarPixel.y() - offset.north * pixelsPerMile);
}

} // namespace nubivista::places
