#include "feed/nws/alert_areas.h"

#include "feed/picture/frame_geometry.h"

#include <algorithm>

namespace nubivista::feed::nws {

namespace {

struct MarineBox {
    const char* code;
    double south, north, west, east;
};

// The weather service's marine areas, each in a box that holds its waters.
constexpr MarineBox kMarineAreas[] = {
    {"LS", 46.3, 49.1, -92.3, -84.3},     // Lake Superior
    {"LM", 41.5, 46.2, -88.1, -84.7},     // Lake Michigan
    {"LH", 43.0, 46.4, -84.8, -79.6},     // Lake Huron
    {"LE", 41.3, 43.0, -83.6, -78.8},     // Lake Erie
    {"LO", 43.1, 44.3, -80.0, -75.9},     // Lake Ontario
    {"LC", 42.3, 42.7, -83.0, -82.4},     // Lake St. Clair
    {"SL", 44.0, 45.1, -76.5, -74.6},     // St. Lawrence River above St. Regis
    {"AN", 35.5, 45.5, -77.5, -65.0},     // Atlantic, Canadian border to Currituck Beach Light
    {"AM", 17.0, 36.6, -82.0, -63.5},     // Atlantic south of it, the Caribbean
    {"GM", 23.5, 31.0, -98.0, -80.3},     // Gulf of Mexico
    {"PZ", 30.0, 49.0, -131.0, -117.0},   // Pacific off the West Coast
    {"PK", 50.0, 72.0, -180.0, -129.5},   // Alaskan waters
    {"PH", 15.0, 26.0, -165.0, -150.0},   // Hawaiian waters
    {"PM", 10.0, 22.0, 140.0, 150.0},     // Mariana Islands' waters
    {"PS", -16.0, -10.0, -173.0, -167.0}, // American Samoa's waters
};

// A box's outline, with points along its sides: the picture's projection
// bends lines of latitude.
std::vector<picture::GeoPoint> boxRing(const MarineBox& box) {
    constexpr int kSteps = 16;
    std::vector<picture::GeoPoint> ring;
    for (int i = 0; i < kSteps; ++i)
        ring.push_back({box.south, box.west + (box.east - box.west) * i / kSteps});
    for (int i = 0; i < kSteps; ++i)
        ring.push_back({box.south + (box.north - box.south) * i / kSteps, box.east});
    for (int i = 0; i < kSteps; ++i)
        ring.push_back({box.north, box.east - (box.east - box.west) * i / kSteps});
    for (int i = 0; i < kSteps; ++i)
        ring.push_back({box.north - (box.north - box.south) * i / kSteps, box.west});
    return ring;
}

radar::Ring pictureRing(const radar::SiteRow& site, std::span<const picture::GeoPoint> points) {
    radar::Ring ring;
    ring.reserve(points.size());
    for (const picture::GeoPoint& point : points)
        ring.push_back(longRangePixel(site, point));
    return ring;
}

} // namespace

QRectF longRangePictureRect() {
    return QRectF(0, 0, picture::kImageWidth, picture::kImageHeight);
}

QPointF longRangePixel(const radar::SiteRow& site, const picture::GeoPoint& point) {
    const picture::PlaneOffset offset =
        picture::projectFrom({site.latitude, site.longitude}, point);
    // The far side of the Earth: no place on any picture.
    if (!offset.valid)
        return {1e9, 1e9};
    return picture::milesToPixel(offset.east, offset.north, true);
}

QStringList alertAreasOf(const radar::SiteRow& site,
                         std::span<const picture::StateOutline> states) {
    const QRectF picture = longRangePictureRect();
    QStringList areas;
    for (const picture::StateOutline& state : states) {
        std::vector<radar::Ring> rings;
        for (const std::vector<picture::GeoPoint>& ring : state.rings)
            rings.push_back(pictureRing(site, ring));
        if (radar::polygonMeetsRect(rings, picture))
            areas.append(state.code);
    }
    for (const MarineBox& box : kMarineAreas) {
        const std::vector<radar::Ring> rings = {pictureRing(site, boxRing(box))};
        if (radar::polygonMeetsRect(rings, picture))
            areas.append(QLatin1String(box.code));
    }
    areas.sort();
    areas.removeDuplicates();
    return areas;
}

bool crossesLongRangePicture(const radar::SiteRow& site,
                             std::span<const picture::GeoPoint> polygon) {
    if (polygon.size() < 3)
        return false;
    const std::vector<radar::Ring> rings = {pictureRing(site, polygon)};
    return radar::polygonMeetsRect(rings, longRangePictureRect());
}

} // namespace nubivista::feed::nws
