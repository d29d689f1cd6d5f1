#include "frame_renderer.h"

#include "bitmap_font.h"
#include "storm_model.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace radarsim {

namespace {

// The classic dBZ scale, 5 dBZ steps from 5 to 75.
constexpr std::array<Rgb, 15> kReflectivityColours{{
    {4, 233, 231},
    {1, 159, 244},
    {3, 0, 244},
    {2, 253, 2},
    {1, 197, 1},
    {0, 142, 0},
    {253, 248, 2},
    {229, 188, 0},
    {253, 149, 0},
    {253, 0, 0},
    {212, 0, 0},
    {188, 0, 0},
    {248, 0, 253},
    {152, 84, 198},
    {253, 253, 253},
}};

// Rainfall in inches: the lower edge of each colour step.
constexpr std::array<double, 14> kRainfallSteps{0.10, 0.25, 0.50, 0.75, 1.00, 1.25, 1.50,
                                                1.75, 2.00, 2.50, 3.00, 4.00, 5.00, 6.00};
constexpr std::array<const char*, 14> kRainfallLabels{".10",  ".25",  ".50",  ".75",  "1.00",
                                                      "1.25", "1.50", "1.75", "2.00", "2.50",
                                                      "3.00", "4.00", "5.00", "6.00"};
constexpr std::array<Rgb, 14> kRainfallColours{{
    {170, 210, 255},
    {120, 180, 250},
    {70, 140, 240},
    {30, 100, 220},
    {10, 60, 190},
    {0, 30, 150},
    {90, 60, 200},
    {120, 50, 210},
    {150, 40, 200},
    {180, 30, 190},
    {210, 40, 210},
    {235, 90, 235},
    {250, 160, 250},
    {255, 220, 255},
}};

constexpr int kMapHeight = kMapBottom - kMapTop;

Palette makePalette() {
    Palette palette{};
    palette[colour::kWhite] = {255, 255, 255};
    palette[colour::kYellow] = {255, 255, 0};
    palette[colour::kRing] = {96, 96, 96};
    palette[colour::kMapText] = {128, 128, 128};
    palette[colour::kSiteMarker] = {255, 64, 64};
    palette[colour::kLegendText] = {210, 210, 210};
    for (std::size_t i = 0; i < kReflectivityColours.size(); ++i) {
        palette[colour::kReflectivityFirst + i] = kReflectivityColours[i];
    }
    for (std::size_t i = 0; i < kRainfallColours.size(); ++i) {
        palette[colour::kRainfallFirst + i] = kRainfallColours[i];
    }
    return palette;
}

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

std::uint8_t reflectivityColour(double dbz) {
    if (dbz < 5.0) {
        return colour::kBlack;
    }
    const int level = std::min(14, static_cast<int>(dbz / 5.0) - 1);
    return static_cast<std::uint8_t>(colour::kReflectivityFirst + level);
}

std::uint8_t rainfallColour(double inches) {
    if (inches < kRainfallSteps.front()) {
        return colour::kBlack;
    }
    int level = 0;
    while (level + 1 < static_cast<int>(kRainfallSteps.size()) &&
           inches >= kRainfallSteps[level + 1]) {
        ++level;
    }
    return static_cast<std::uint8_t>(colour::kRainfallFirst + level);
}

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

void drawEchoes(IndexedImage& image, const Site& site, const Product& product,
                qint64 frameSeconds) {
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
            const std::uint8_t index =
                product.isRainfall() ? rainfallColour(value) : reflectivityColour(value);
            if (index != colour::kBlack) {
                image.setPixel(x, y, index);
            }
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
            image.setPixel(static_cast<int>(point.x()), static_cast<int>(point.y()),
                           reflectivityColour(5.0 + static_cast<double>((speckle >> 32) % 15)));
        }
    }
}

void drawMap(IndexedImage& image, const Site& site, const Product& product) {
    const double mpp = milesPerPixel(product);
    const double ringMiles = product.isLongRange() ? 100.0 : 50.0;
    for (int ring = 1; ring <= 4; ++ring) {
        image.drawCircle(kCenterX, kCenterY, static_cast<int>(std::lround(ring * ringMiles / mpp)),
                         colour::kRing);
    }
    // Neighbouring radars for orientation.
    for (const Site& other : allSites()) {
        if (other.code == site.code) {
            continue;
        }
        double east = 0.0;
        double north = 0.0;
        latLonToOffset(site, GeoPoint{other.latitude, other.longitude}, east, north);
        const QPointF point = milesToPixel(east, north, product);
        const int x = static_cast<int>(point.x());
        const int y = static_cast<int>(point.y());
        if (x < 4 || x > kImageWidth - 30 || y < kMapTop + 4 || y > kMapBottom - 12) {
            continue;
        }
        image.drawLine(x - 2, y, x + 2, y, colour::kMapText);
        image.drawLine(x, y - 2, x, y + 2, colour::kMapText);
        drawText(image, x + 4, y - 3, other.code.toUpper().toStdString(), colour::kMapText);
    }
    image.fillCircle(kCenterX, kCenterY, 2, colour::kSiteMarker);
}

void drawHeader(IndexedImage& image, const Site& site, const Product& product,
                qint64 frameSeconds) {
    image.fillRect(0, 0, kImageWidth, kMapTop, colour::kBlack);
    drawText(image, 4, 1, site.title().toStdString(), colour::kYellow);
    const double rangeMiles = (kImageWidth / 2) * milesPerPixel(product);
    const QString caption =
        QString(product.caption) + QStringLiteral("  RANGE %1 MI").arg(std::lround(rangeMiles));
    drawText(image, 4, 11, caption.toStdString(), colour::kWhite);
    // The frame's own time, centred in the strip the program cuts out.
    const std::string stamp = stampText(frameSeconds).toStdString();
    const int stampLeft = kStampX + (kStampWidth - textWidth(stamp)) / 2;
    drawText(image, stampLeft, kStampY + 1, stamp, colour::kWhite);
    drawText(image, kImageWidth - textWidth("RADAR-SIM") - 4, 11, "RADAR-SIM", colour::kLegendText);
}

void drawLegend(IndexedImage& image, const Product& product) {
    image.fillRect(0, kMapBottom, kImageWidth, kImageHeight - kMapBottom, colour::kBlack);
    const int boxTop = kMapBottom + 2;
    if (!product.isRainfall()) {
        drawText(image, 4, boxTop + 4, "DBZ", colour::kLegendText);
        constexpr int boxWidth = 38;
        for (int level = 0; level < 15; ++level) {
            const int left = 26 + level * boxWidth;
            image.fillRect(left, boxTop, boxWidth - 2, 7,
                           static_cast<std::uint8_t>(colour::kReflectivityFirst + level));
            const std::string label = std::to_string(5 * (level + 1));
            drawText(image, left + (boxWidth - 2 - textWidth(label)) / 2, boxTop + 9, label,
                     colour::kLegendText);
        }
    } else {
        drawText(image, 4, boxTop + 4, "IN", colour::kLegendText);
        constexpr int boxWidth = 40;
        for (int level = 0; level < 14; ++level) {
            const int left = 26 + level * boxWidth;
            image.fillRect(left, boxTop, boxWidth - 2, 7,
                           static_cast<std::uint8_t>(colour::kRainfallFirst + level));
            const std::string label = kRainfallLabels[level];
            drawText(image, left + (boxWidth - 2 - textWidth(label)) / 2, boxTop + 9, label,
                     colour::kLegendText);
        }
    }
}

} // namespace

const Palette& radarPalette() {
    static const Palette palette = makePalette();
    return palette;
}

QPointF milesToPixel(double eastMiles, double northMiles, const Product& product) {
    const double mpp = milesPerPixel(product);
    return QPointF(kCenterX + eastMiles / mpp, kCenterY - northMiles / mpp);
}

QString stampText(qint64 utcSeconds) {
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC)
        .toString(QStringLiteral("MM/dd/yyyy HH:mm 'UTC'"));
}

IndexedImage renderFrame(const Site& site, const Product& product, qint64 frameSeconds) {
    IndexedImage image(kImageWidth, kImageHeight, colour::kBlack);
    drawEchoes(image, site, product, frameSeconds);
    // Rings and neighbour labels go over the echoes, as map overlays do.
    drawMap(image, site, product);
    drawHeader(image, site, product, frameSeconds);
    drawLegend(image, product);
    return image;
}

QByteArray frameGif(const Site& site, const Product& product, qint64 frameSeconds,
                    qint64 frameIndex) {
    const std::optional<QByteArray> encoded =
        encodeGif(renderFrame(site, product, frameSeconds), radarPalette());
    if (!encoded || encoded->size() < 14) {
        return {};
    }
    // A comment block (introducer, label, length, text, terminator: 4 + n bytes)
    // before the trailer sets the size's parity to the frame index's.
    QByteArray gif = *encoded;
    const bool wantOdd = (frameIndex & 1) != 0;
    const qsizetype withOneCharacter = gif.size() + 5;
    const int textLength = ((withOneCharacter & 1) != 0) == wantOdd ? 1 : 2;
    QByteArray comment;
    comment.append('\x21').append('\xFE').append(static_cast<char>(textLength));
    comment.append(QByteArray("rs").left(textLength)).append('\0');
    gif.insert(gif.size() - 1, comment);
    // The encoder reserves room for a poorly compressing image; the frame cache
    // counts bytes, so a cached frame must not hold several times its size.
    gif.squeeze();
    return gif;
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

} // namespace radarsim
