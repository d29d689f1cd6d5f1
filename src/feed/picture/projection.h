#pragma once
// The pictures' map: an azimuthal equidistant projection centred on the
// radar, so that the distance and direction of any point from the radar are
// true, as the program's measurements take them to be.
#include <QPointF>

namespace nubivista::feed::picture {

inline constexpr double kEarthRadiusMiles = 3958.8;
inline constexpr double kKmPerMile = 1.609344;

struct GeoPoint {
    double latitude = 0;  // degrees north
    double longitude = 0; // degrees east
};

// Miles east (x) and north (y) of the centre on the projected plane. Points
// on the far side of the Earth have no place and give nothing.
struct PlaneOffset {
    double east = 0;
    double north = 0;
    bool valid = true;
};

PlaneOffset projectFrom(const GeoPoint& centre, const GeoPoint& point);
GeoPoint unprojectFrom(const GeoPoint& centre, double eastMiles, double northMiles);

} // namespace nubivista::feed::picture
