#include "feed/picture/basemap.h"

#include "feed/picture/bitmap_font.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/palettes.h"
#include "feed/picture/town_labels.h"

#include <QRect>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

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

// The neighbouring radars, the WSR-88D first, then the airport radars as small
// squares: an airport radar stands 20 to 40 km from a WSR-88D, so a code that
// would cover one already drawn, or the radar itself, is left out. Gives what
// they and the radar's own marker cover.
std::vector<QRect> drawNeighbours(IndexedImage& layer, const radar::SiteRow& site, bool longRange) {
    const GeoPoint centre{site.latitude, site.longitude};
    std::vector<QRect> labels{QRect(kCenterX - 3, kCenterY - 3, 7, 7)};
    for (const auto type : {radar::RadarType::Wsr88d, radar::RadarType::Tdwr}) {
        for (const radar::SiteRow& other : radar::SiteTable()) {
            if (other.type != type || other.code == site.code)
                continue;
            const PlaneOffset offset = projectFrom(centre, {other.latitude, other.longitude});
            const QPointF point = milesToPixel(offset.east, offset.north, longRange);
            const int x = int(std::floor(point.x()));
            const int y = int(std::floor(point.y()));
            if (!offset.valid || x < 4 || x > kImageWidth - 30 || y < kMapTop + 4 ||
                y > kMapBottom - 12)
                continue;
            if (type == radar::RadarType::Wsr88d) {
                layer.drawLine(x - 2, y, x + 2, y, colour::kMapText);
                layer.drawLine(x, y - 2, x, y + 2, colour::kMapText);
            } else {
                layer.drawLine(x - 1, y - 1, x + 1, y - 1, colour::kMapText);
                layer.drawLine(x - 1, y + 1, x + 1, y + 1, colour::kMapText);
                layer.setPixel(x - 1, y, colour::kMapText);
                layer.setPixel(x + 1, y, colour::kMapText);
            }
            labels.emplace_back(x - 2, y - 2, 5, 5);
            const std::string code = QString(other.code).toUpper().toStdString();
            const QRect label(x + 4, y - 3, textWidth(code), kGlyphHeight);
            if (std::none_of(labels.begin(), labels.end(), [&label](const QRect& drawn) {
                    return drawn.intersects(label.adjusted(-1, -1, 1, 1));
                })) {
                drawText(layer, label.x(), label.y(), code, colour::kMapText);
                labels.push_back(label);
            }
        }
    }
    return labels;
}

} // namespace

IndexedImage basemapLayer(const BoundaryLines& lines, const radar::SiteRow& site, bool longRange,
                          const Towns& towns) {
    IndexedImage layer(kImageWidth, kImageHeight, 0);
    drawBoundaries(layer, lines, {site.latitude, site.longitude}, longRange);
    const double ringMiles = longRange ? 100.0 : 50.0;
    for (int ring = 1; ring <= 4; ++ring)
        layer.drawCircle(kCenterX, kCenterY,
                         static_cast<int>(std::lround(ring * ringMiles / milesPerPixel(longRange))),
                         colour::kRing);
    std::vector<QRect> taken = drawNeighbours(layer, site, longRange);
    drawTownLabels(layer, placeTownLabels(towns, {site.latitude, site.longitude}, longRange,
                                          std::move(taken)));
    layer.fillCircle(kCenterX, kCenterY, 2, colour::kSiteMarker);
    return layer;
}

} // namespace nubivista::feed::picture
