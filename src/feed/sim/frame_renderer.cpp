#include "feed/sim/frame_renderer.h"

#include "feed/picture/boundaries.h"
#include "feed/picture/frame_composer.h"
#include "feed/sim/storm_model.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace nubivista::feed::sim {

namespace {

// Smooth noise in [0, 1) over a grid, used as texture inside the echoes.
double valueNoise(double x, double y, quint64 seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    auto corner = [&](double cx, double cy) {
        const quint64 key = seed ^ (static_cast<quint64>(static_cast<qint64>(cx)) * 0x9E3779B1ULL) ^
                            (static_cast<quint64>(static_cast<qint64>(cy)) << 32);
        return static_cast<double>(mix64(key) >> 11) / 9007199254740992.0;
    };
    const double tx = x - fx;
    const double ty = y - fy;
    const double top = corner(fx, fy) * (1 - tx) + corner(fx + 1, fy) * tx;
    const double bottom = corner(fx, fy + 1) * (1 - tx) + corner(fx + 1, fy + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

double rainRateInchesPerHour(double dbz) {
    // Marshall-Palmer, Z = 200 R^1.6 with R in mm/h, folded into one exponential:
    // R = 10^(dBZ/16) * 200^-0.625.
    static const double kScale = std::pow(200.0, -0.625) / 25.4;
    return std::exp(dbz * (std::numbers::ln10 / 16.0)) * kScale;
}

// The echo field over the map area: dBZ for reflectivity, inches for rainfall.
class EchoField {
public:
    explicit EchoField(const Product& product)
        : m_product(product), m_values(static_cast<std::size_t>(kImageWidth) * kMapHeight, 0.0f) {}

    // Visits every map pixel within reach of the cell; `apply` gets the pixel's value
    // and the echo strength in dBZ there. With a seed the echo gets a texture that
    // moves with the cell.
    template <typename Apply>
    void addCell(const CellState& cell, std::optional<quint64> textureSeed, Apply apply) {
        const double mpp = milesPerPixel(m_product);
        const QPointF centre = milesToPixel(cell.eastMiles, cell.northMiles, m_product);
        const double reachMiles = cell.radiusMiles * 1.8;
        const int reach = static_cast<int>(std::ceil(reachMiles / mpp));
        const int left = std::max(0, static_cast<int>(centre.x()) - reach);
        const int right = std::min(kImageWidth - 1, static_cast<int>(centre.x()) + reach);
        const int top = std::max(kMapTop, static_cast<int>(centre.y()) - reach);
        const int bottom = std::min(kMapBottom - 1, static_cast<int>(centre.y()) + reach);
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const double dx = (x - centre.x()) * mpp;
                const double dy = (y - centre.y()) * mpp;
                const double ratio = (dx * dx + dy * dy) / (cell.radiusMiles * cell.radiusMiles);
                if (ratio > 3.3) {
                    continue;
                }
                // Texture moves with the cell: noise in cell-relative miles.
                const double texture =
                    textureSeed ? 0.7 + 0.55 * valueNoise(dx / 2.0, dy / 2.0, *textureSeed) : 1.0;
                const double dbz = cell.peakDbz * std::exp(-ratio) * texture;
                float& value = m_values[static_cast<std::size_t>(y - kMapTop) * kImageWidth + x];
                value = apply(value, dbz);
            }
        }
    }

    float at(int x, int y) const {
        return m_values[static_cast<std::size_t>(y - kMapTop) * kImageWidth + x];
    }

private:
    const Product& m_product;
    std::vector<float> m_values;
};

// A storm is drawn as its core and a few weaker satellites that travel with it.
std::vector<CellState> cellParts(const CellState& core, quint64 seed) {
    std::vector<CellState> parts{core};
    quint64 state = mix64(seed);
    const int satellites = 2 + static_cast<int>(state % 3);
    for (int i = 0; i < satellites; ++i) {
        state = mix64(state);
        const double angle = static_cast<double>(state % 3600) / 3600.0 * 2.0 * std::numbers::pi;
        const double distance =
            core.radiusMiles * (0.8 + static_cast<double>((state >> 12) % 100) / 80.0);
        CellState part = core;
        part.eastMiles += distance * std::sin(angle);
        part.northMiles += distance * std::cos(angle);
        part.peakDbz = core.peakDbz * (0.55 + static_cast<double>((state >> 24) % 30) / 100.0);
        part.radiusMiles =
            core.radiusMiles * (0.7 + static_cast<double>((state >> 36) % 60) / 100.0);
        parts.push_back(part);
    }
    return parts;
}

// The storms of a frame as values over the map: dBZ, or inches of rain.
EchoGrid echoesAt(const Site& site, const Product& product, qint64 frameSeconds) {
    EchoGrid grid(product.isRainfall() ? EchoKind::Rainfall : EchoKind::Reflectivity);
    const StormModel storms(site.code);
    EchoField field(product);
    const bool composite = product.kind == ProductKind::CompositeReflectivity;
    if (!product.isRainfall()) {
        const std::vector<CellState> cells = storms.cellsAt(frameSeconds);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            CellState cell = cells[i];
            if (composite) {
                // The column maximum is stronger and wider than the lowest tilt.
                cell.peakDbz += 4.0;
                cell.radiusMiles *= 1.2;
            }
            for (const CellState& part : cellParts(cell, hashCode(site.code) + i)) {
                field.addCell(part, hashCode(site.code) + i, [](float value, double dbz) {
                    return std::max(value, static_cast<float>(dbz));
                });
            }
        }
    } else {
        // Accumulate the rain of the cells' past positions.
        const bool stormTotal = product.kind == ProductKind::StormTotalRainfall;
        const int steps = stormTotal ? 36 : 12;
        const qint64 stepSeconds = stormTotal ? 600 : 300;
        const double hoursPerStep = static_cast<double>(stepSeconds) / 3600.0;
        for (int step = 0; step < steps; ++step) {
            const std::vector<CellState> cells = storms.cellsAt(frameSeconds - step * stepSeconds);
            for (std::size_t i = 0; i < cells.size(); ++i) {
                for (const CellState& part : cellParts(cells[i], hashCode(site.code) + i)) {
                    field.addCell(part, std::nullopt, [hoursPerStep](float value, double dbz) {
                        return value +
                               static_cast<float>(rainRateInchesPerHour(dbz) * hoursPerStep);
                    });
                }
            }
        }
    }
    for (int y = kMapTop; y < kMapBottom; ++y) {
        for (int x = 0; x < kImageWidth; ++x) {
            double value = field.at(x, y);
            if (product.isRainfall() && value > 0.0) {
                // Rain on the ground: a texture fixed to the map.
                value *= 0.7 + 0.55 * valueNoise(x / 4.0, y / 4.0, hashCode(site.code));
            }
            if (value > 0.0)
                grid.set(x, y, static_cast<float>(value));
        }
    }
    if (!product.isRainfall()) {
        // Ground clutter near the radar, different in every frame.
        quint64 speckle = mix64(hashCode(site.code) ^ static_cast<quint64>(frameSeconds));
        for (int i = 0; i < 40; ++i) {
            speckle = mix64(speckle);
            const double angle =
                static_cast<double>(speckle % 3600) / 3600.0 * 2.0 * std::numbers::pi;
            const double miles = 3.0 + static_cast<double>((speckle >> 16) % 1500) / 100.0;
            const QPointF point =
                milesToPixel(miles * std::sin(angle), miles * std::cos(angle), product);
            grid.set(static_cast<int>(point.x()), static_cast<int>(point.y()),
                     static_cast<float>(5.0 + static_cast<double>((speckle >> 32) % 15)));
        }
    }
    return grid;
}

BasemapCache& basemaps() {
    static BasemapCache cache;
    return cache;
}

} // namespace

void loadBasemap(const QString& boundaryFile, const QString& townsFile) {
    auto lines = picture::loadBoundaries(boundaryFile);
    if (auto* error = std::get_if<QString>(&lines)) {
        qWarning("nubivista-feed: no boundary lines: %s", qPrintable(*error));
        return;
    }
    basemaps().reset(std::get<picture::BoundaryLines>(std::move(lines)),
                     townsFile.isEmpty() ? picture::Towns{} : picture::townsOrNone(townsFile));
}

const picture::BoundaryLines& boundaryLines() {
    return basemaps().lines();
}

const picture::Towns& mapTowns() {
    return basemaps().towns();
}

QPointF milesToPixel(double eastMiles, double northMiles, const Product& product) {
    return picture::milesToPixel(eastMiles, northMiles, product.isLongRange());
}

QString stampText(qint64 utcSeconds) {
    return picture::stampText(QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC));
}

IndexedImage renderFrame(const Site& site, const Product& product, qint64 frameSeconds) {
    const nubivista::radar::SiteRow* row = nubivista::radar::FindSite(site.code);
    static const IndexedImage noMap(kImageWidth, kImageHeight, 0);
    const IndexedImage& map = row ? basemaps().layer(*row, product.isLongRange()) : noMap;
    picture::FrameTitles titles;
    titles.site = site.title();
    titles.product = QString(product.caption);
    titles.longRange = product.isLongRange();
    titles.scanTime = QDateTime::fromSecsSinceEpoch(frameSeconds, Qt::UTC);
    titles.simulated = true;
    return picture::composeFrame(echoesAt(site, product, frameSeconds), map, titles);
}

QByteArray frameGif(const Site& site, const Product& product, qint64 frameSeconds,
                    qint64 frameIndex) {
    return picture::frameGif(renderFrame(site, product, frameSeconds), (frameIndex & 1) != 0);
}

QByteArray corruptGif(const QByteArray& gif) {
    // Header (6), screen descriptor (7) and the 256-colour table (768) stay.
    constexpr qsizetype kIntactPrefix = 6 + 7 + 768;
    if (gif.size() <= kIntactPrefix) {
        return gif.left(gif.size() / 2);
    }
    QByteArray damaged = gif.left(kIntactPrefix);
    const qsizetype garbage = (gif.size() - kIntactPrefix) / 2;
    quint64 state = 0xBADC0FFEEULL;
    for (qsizetype i = 0; i < garbage; ++i) {
        state = mix64(state);
        // No block introducer is valid here: 0xA5 is neither an image, an
        // extension nor the trailer.
        damaged.append(i == 0 ? '\xA5' : static_cast<char>(state & 0xFF));
    }
    return damaged;
}

} // namespace nubivista::feed::sim
