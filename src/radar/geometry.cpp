#include "radar/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nubivista::radar {

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

} // namespace

PlaneOffset projectFrom(const GeoPoint& centre, const GeoPoint& point) {
    const double phi0 = centre.latitude * kRadians;
    const double phi = point.latitude * kRadians;
    const double dLambda = (point.longitude - centre.longitude) * kRadians;
    const double cosC = std::clamp(std::sin(phi0) * std::sin(phi) +
                                       std::cos(phi0) * std::cos(phi) * std::cos(dLambda),
                                   -1.0, 1.0);
    const double c = std::acos(cosC);
    if (c > std::numbers::pi - 1e-9)
        return {0, 0, false};
    // k = c / sin c, which tends to 1 at the centre.
    const double k = c < 1e-12 ? 1.0 : c / std::sin(c);
    return {
        kEarthRadiusMiles * k * std::cos(phi) * std::sin(dLambda),
        kEarthRadiusMiles * k *
            (std::cos(phi0) * std::sin(phi) - std::sin(phi0) * std::cos(phi) * std::cos(dLambda)),
        true};
}

GeoPoint unprojectFrom(const GeoPoint& centre, double east, double north) {
    const double rho = std::hypot(east, north);
    if (rho < 1e-12)
        return centre;
    const double c = rho / kEarthRadiusMiles;
    const double phi0 = centre.latitude * kRadians;
    const double phi =
        std::asin(std::cos(c) * std::sin(phi0) + north * std::sin(c) * std::cos(phi0) / rho);
    const double lambda = std::atan2(east * std::sin(c), rho * std::cos(phi0) * std::cos(c) -
                                                             north * std::sin(phi0) * std::sin(c));
    double longitude = centre.longitude + lambda / kRadians;
    // Across the date line the longitude comes back into -180..180.
    if (longitude > 180)
        longitude -= 360;
    else if (longitude < -180)
        longitude += 360;
    return {phi / kRadians, longitude};
}

GeoPoint pointAtRange(const GeoPoint& centre, double miles, double bearingDegrees) {
    const double bearing = bearingDegrees * kRadians;
    return unprojectFrom(centre, miles * std::sin(bearing), miles * std::cos(bearing));
}

} // namespace nubivista::radar
