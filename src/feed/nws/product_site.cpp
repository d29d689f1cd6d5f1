#include "feed/nws/product_site.h"

#include "feed/picture/projection.h"

#include <cmath>

namespace nubivista::feed::nws {

const radar::SiteRow* siteOfProduct(const level3::Product& product) {
    const picture::GeoPoint made{product.description.latitude, product.description.longitude};
    const radar::SiteRow* nearest = nullptr;
    double nearestKm = kSameRadarKm;
    for (const radar::SiteRow& site : radar::SiteTable()) {
        // The pictures' projection keeps true distances from its centre.
        const picture::PlaneOffset offset =
            picture::projectFrom({site.latitude, site.longitude}, made);
        if (!offset.valid)
            continue;
        const double km = std::hypot(offset.east, offset.north) * picture::kKmPerMile;
        if (km < nearestKm) {
            nearest = &site;
            nearestKm = km;
        }
    }
    return nearest;
}

} // namespace nubivista::feed::nws
