#include "feed/picture/basemap.h"

#include "feed/picture/bitmap_font.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/palettes.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace nubivista::feed::picture {

namespace {

constexpr double kMilesPerDegree = kEarthRadiusMiles * std::numbers::pi / 180.0;
// A segment with an end this far outside the picture is not drawn: its
// pixels would all be clipped, at the cost of walking them.
constexpr double kFarPixels = 3000;

std::uint8_t lineColour(BoundaryLine::Kind kind) {
    return kind == BoundaryLine::Kind::County ? colour::kCountyLine : colour::kStateLine;
}

void drawBoundaries(IndexedImage& layer, const BoundaryLines& lines, const GeoPoint& centre,
                    bool longRange) {
    // The picture's corners are this far from the radar; lines wholly farther
    // away in latitude or longitude are passed over.
    const double reachMiles = std::hypot(kCenterX, kCenterY) * milesPerPixel(longRange) * 1.2;
    const double reachLatitude = reachMiles / kMilesPerDegree;
    const double reachLongitude =
        reachLatitude / std::max(0.1, std::cos(centre.latitude * std::numbers::pi / 180.0));
    // County lines first, so that state lines and coasts lie over them.
    for (const auto kind :
         {BoundaryLine::Kind::County, BoundaryLine::Kind::State, BoundaryLine::Kind::Outline}) {
        for (const BoundaryLine& line : lines) {
            if (line.kind != kind || line.north < centre.latitude - reachLatitude ||
                line.south > centre.latitude + reachLatitude ||
                line.east < centre.longitude - reachLongitude ||
                line.west > centre.longitude + reachLongitude)
                continue;
            std::optional<QPointF> previous;
            for (const GeoPoint& point : line.points) {
                const PlaneOffset offset = projectFrom(centre, point);
                const QPointF pixel = milesToPixel(offset.east, offset.north, longRange);
                const bool near = offset.valid && std::abs(pixel.x() - kCenterX) < kFarPixels &&
                                  std::abs(pixel.y() - kCenterY) < kFarPixels;
                if (near && previous)
                    layer.drawLine(int(std::floor(previous->x())), int(std::floor(previous->y())),
                                   int(std::floor(pixel.x())), int(std::floor(pixel.y())),
                                   lineColour(kind));
                previous = near ? std::optional(pixel) : std::nullopt;
            }
        }
    }
}

void drawNeighbours(IndexedImage& layer, const radar::SiteRow& site, bool longRange) {
    const GeoPoint centre{site.latitude, site.longitude};
    for (const radar::SiteRow& other : radar::SiteTable()) {
        if (other.code == site.code)
            continue;
        const PlaneOffset offset = projectFrom(centre, {other.latitude, other.longitude});
        const QPointF point = milesToPixel(offset.east, offset.north, longRange);
        const int x = int(std::floor(point.x()));
        const int y = int(std::floor(point.y()));
        if (!offset.valid || x < 4 || x > kImageWidth - 30 || y < kMapTop + 4 ||
            y > kMapBottom - 12)
            continue;
        layer.drawLine(x - 2, y, x + 2, y, colour::kMapText);
        layer.drawLine(x, y - 2, x, y + 2, colour::kMapText);
        drawText(layer, x + 4, y - 3, QString(other.code).toUpper().toStdString(),
                 colour::kMapText);
    }
}

} // namespace

IndexedImage basemapLayer(const BoundaryLines& lines, const radar::SiteRow& site, bool longRange) {
    IndexedImage layer(kImageWidth, kImageHeight, 0);
    drawBoundaries(layer, lines, {site.latitude, site.longitude}, longRange);
    const double ringMiles = longRange ? 100.0 : 50.0;
    for (int ring = 1; ring <= 4; ++ring)
        layer.drawCircle(kCenterX, kCenterY,
                         static_cast<int>(std::lround(ring * ringMiles / milesPerPixel(longRange))),
                         colour::kRing);
    drawNeighbours(layer, site, longRange);
    layer.fillCircle(kCenterX, kCenterY, 2, colour::kSiteMarker);
    return layer;
}

} // namespace nubivista::feed::picture
