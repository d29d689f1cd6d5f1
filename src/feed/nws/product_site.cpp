#include "feed/nws/product_site.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nubivista::feed::nws {

double distanceKm(double latitude1, double longitude1, double latitude2, double longitude2) {
    constexpr double kEarthKm = 6371.0;
    constexpr double kRadians = std::numbers::pi / 180.0;
    const double dLat = (latitude2 - latitude1) * kRadians;
    const double dLon = (longitude2 - longitude1) * kRadians;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(latitude1 * kRadians) * std::cos(latitude2 * kRadians) *
                         std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthKm * std::asin(std::min(1.0, std::sqrt(a)));
}

const radar::SiteRow* siteOfProduct(const level3::Product& product) {
    const radar::SiteRow* nearest = nullptr;
    double nearestKm = kSameRadarKm;
    for (const radar::SiteRow& site : radar::SiteTable()) {
        const double km = distanceKm(site.latitude, site.longitude, product.description.latitude,
                                     product.description.longitude);
        if (km < nearestKm) {
            nearest = &site;
            nearestKm = km;
        }
    }
    return nearest;
}

} // namespace nubivista::feed::nws
