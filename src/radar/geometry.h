#pragma once
// The radar pictures' map: an azimuthal equidistant projection centred on the
// radar, so that the distance and direction of any point from the radar are
// true, as the program's measurements take them to be. Distances are
// statute miles on a sphere of the Earth's mean radius.
namespace nubivista::radar {

inline constexpr double kEarthRadiusMiles = 3958.8;

struct GeoPoint {
    double latitude = 0;  // degrees north
    double longitude = 0; // degrees east
};

// Miles east and north of the centre on the projected plane. Points on the far
// side of the Earth have no place there and are not valid.
struct PlaneOffset {
    double east = 0;
    double north = 0;
    bool valid = true;
};

PlaneOffset projectFrom(const GeoPoint& centre, const GeoPoint& point);
GeoPoint unprojectFrom(const GeoPoint& centre, double eastMiles, double northMiles);

// The point at a distance and compass bearing (degrees clockwise from north)
// from the centre.
GeoPoint pointAtRange(const GeoPoint& centre, double miles, double bearingDegrees);

} // namespace nubivista::radar
