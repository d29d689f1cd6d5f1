#include "feed/nws/echo_from_product.h"

#include "feed/level3/product_codes.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/projection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace nubivista::feed::nws {

namespace {

using picture::EchoGrid;

// Tenths of a degree: which radial covers each direction, -1 where none does.
constexpr int kDirections = 3600;

std::array<int, kDirections> radialByDirection(const level3::RadialSweep& sweep) {
    std::array<int, kDirections> table;
    table.fill(-1);
    for (std::size_t i = 0; i < sweep.radials.size(); ++i) {
        const level3::Radial& radial = sweep.radials[i];
        const int from = static_cast<int>(std::lround(radial.startAngle * 10));
        const int width = std::clamp(static_cast<int>(std::lround(radial.angleDelta * 10)), 0, 100);
        for (int step = 0; step < width; ++step)
            table[static_cast<std::size_t>(((from + step) % kDirections + kDirections) %
                                           kDirections)] = static_cast<int>(i);
    }
    return table;
}

float valueOf(const level3::Product& product, std::uint8_t code) {
    const level3::Level& level = product.levels[code];
    return level.kind == level3::Level::Kind::Value ? static_cast<float>(level.value)
                                                    : EchoGrid::kNone;
}

// Calls visit(x, y, eastKm, northKm) for the centre of every map pixel.
template <typename Visit> void forEachPixel(bool longRange, Visit visit) {
    for (int y = picture::kMapTop; y < picture::kMapBottom; ++y) {
        for (int x = 0; x < picture::kImageWidth; ++x) {
            const QPointF miles = picture::pixelToMiles(x + 0.5, y + 0.5, longRange);
            visit(x, y, miles.x() * picture::kKmPerMile, miles.y() * picture::kKmPerMile);
        }
    }
}

void drawSweep(EchoGrid& grid, const level3::Product& product, const level3::RadialSweep& sweep,
               bool longRange) {
    if (product.binKm <= 0)
        return;
    const std::array<int, kDirections> radials = radialByDirection(sweep);
    forEachPixel(longRange, [&](int x, int y, double east, double north) {
        const int bin = static_cast<int>(std::hypot(east, north) / product.binKm) - sweep.firstBin;
        if (bin < 0 || bin >= sweep.binCount)
            return;
        double azimuth = std::atan2(east, north) * 180.0 / std::numbers::pi;
        if (azimuth < 0)
            azimuth += 360.0;
        const int direction = std::min(kDirections - 1, static_cast<int>(azimuth * 10));
        const int radial = radials[static_cast<std::size_t>(direction)];
        if (radial < 0)
            return;
        const float value = valueOf(
            product, sweep.radials[static_cast<std::size_t>(radial)].levelAt(std::size_t(bin)));
        if (!EchoGrid::none(value))
            grid.set(x, y, value);
    });
}

void drawRaster(EchoGrid& grid, const level3::Product& product, const level3::RasterGrid& raster,
                bool longRange) {
    if (raster.boxKm <= 0 || raster.rows.empty())
        return;
    const double half = raster.rows.size() * raster.boxKm / 2;
    forEachPixel(longRange, [&](int x, int y, double east, double north) {
        const double row = std::floor((half - north) / raster.boxKm);
        const double column = std::floor((east + half) / raster.boxKm);
        if (row < 0 || row >= double(raster.rows.size()) || column < 0)
            return;
        const auto& cells = raster.rows[static_cast<std::size_t>(row)];
        if (column >= double(cells.size()))
            return;
        const float value = valueOf(product, cells[static_cast<std::size_t>(column)]);
        if (!EchoGrid::none(value))
            grid.set(x, y, value);
    });
}

} // namespace

std::vector<QString> nullProductNotes(const level3::Product& product) {
    if (!product.null)
        return {};
    if (!product.texts.empty())
        return product.texts;
    return {QStringLiteral("No data in this scan (null product)")};
}

picture::FrameTitles scanTitles(const level3::Product& product, const radar::SiteRow& site,
                                const QString& caption, bool longRange) {
    picture::FrameTitles titles;
    titles.site = site.stationTitle();
    titles.product = caption;
    if (const std::optional<QDateTime> since = level3::accumulationStart(product))
        titles.product = QStringLiteral("STORM TOTAL SINCE ") +
                         since->toUTC().toString(QStringLiteral("MM/dd HH:mm 'UTC'"));
    titles.longRange = longRange;
    titles.scanTime = product.description.volumeScanTime;
    titles.notes = nullProductNotes(product);
    return titles;
}

EchoGrid echoGridFromProduct(const level3::Product& product, picture::EchoKind kind,
                             bool longRange) {
    EchoGrid grid(kind);
    for (const level3::Packet& packet : product.packets) {
        if (const auto* sweep = std::get_if<level3::RadialSweep>(&packet))
            drawSweep(grid, product, *sweep, longRange);
        else
            drawRaster(grid, product, std::get<level3::RasterGrid>(packet), longRange);
    }
    return grid;
}

} // namespace nubivista::feed::nws
