// Drawing real products: each echo lands where the projection puts it, in
// the colour of its value, over the real boundary lines and the neighbouring
// radars; the projection keeps distance and direction from the radar.
#include "feed/level3/decode.h"
#include "feed/nws/echo_from_product.h"
#include "feed/picture/basemap.h"
#include "feed/picture/frame_composer.h"
#include "feed/picture/palettes.h"
#include "support/files.h"

#include <QFile>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace nubivista;
using namespace nubivista::feed;

namespace {

level3::Product productFile(const char* name) {
    auto result = level3::decodeLevel3(nubivista::testing::productFile(name));
    EXPECT_TRUE(std::holds_alternative<level3::Product>(result)) << name;
    return std::holds_alternative<level3::Product>(result)
               ? std::get<level3::Product>(std::move(result))
               : level3::Product{};
}

const picture::BoundaryLines& boundaries() {
    static const picture::BoundaryLines lines = [] {
        auto loaded =
            picture::loadBoundaries(QStringLiteral(NUBIVISTA_APP_DIR "/us-boundaries.bin"));
        EXPECT_TRUE(std::holds_alternative<picture::BoundaryLines>(loaded));
        return std::holds_alternative<picture::BoundaryLines>(loaded)
                   ? std::get<picture::BoundaryLines>(std::move(loaded))
                   : picture::BoundaryLines{};
    }();
    return lines;
}

const radar::SiteRow& klsx() {
    return *radar::FindSite(QStringLiteral("klsx"));
}

// The pixel holding a point at a distance and bearing from the radar.
QPoint pixelAt(double rangeKm, double bearingDegrees, bool longRange) {
    const double miles = rangeKm / picture::kKmPerMile;
    const double radians = bearingDegrees * std::numbers::pi / 180.0;
    const QPointF p =
        picture::milesToPixel(miles * std::sin(radians), miles * std::cos(radians), longRange);
    return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

struct Echo {
    QPoint pixel;
    std::uint8_t colour = 0;
};

// Echoes whose neighbours on every side are drawn in the same colour, so that
// the pixel under their centre can show no other.
std::vector<Echo> solidEchoes(const level3::Product& p, picture::EchoKind kind, bool longRange) {
    std::vector<Echo> found;
    const auto colourOf = [&](std::uint8_t code) {
        const level3::Level& level = p.levels[code];
        return level.kind == level3::Level::Kind::Value
                   ? picture::echoColour(kind, float(level.value))
                   : picture::colour::kBlack;
    };
    // The pixel under an echo's centre reaches this far from it, with a margin.
    const double reachKm = 1.2 * picture::milesPerPixel(longRange) * picture::kKmPerMile;
    if (const auto* sweep = std::get_if<level3::RadialSweep>(&p.packets[0])) {
        const auto& radials = sweep->radials;
        const int alongBins = int(std::ceil(reachKm / p.binKm));
        for (std::size_t r = 0; r < radials.size(); r += 3) {
            for (int bin = alongBins; bin + alongBins < sweep->binCount; bin += 2) {
                const double range = (sweep->firstBin + bin + 0.5) * p.binKm;
                const double across = range * radials[r].angleDelta * std::numbers::pi / 180;
                const int acrossRadials = int(std::ceil(reachKm / across));
                if (acrossRadials > 4)
                    continue; // near the radar a pixel spans several radials
                const std::uint8_t colour = colourOf(radials[r].levelAt(std::size_t(bin)));
                bool solid = colour != picture::colour::kBlack;
                for (int dr = -acrossRadials; dr <= acrossRadials && solid; ++dr) {
                    const auto& radial =
                        radials[(r + std::size_t(dr + int(radials.size()))) % radials.size()];
                    for (int db = -alongBins; db <= alongBins && solid; ++db)
                        solid = colourOf(radial.levelAt(std::size_t(bin + db))) == colour;
                }
                if (!solid)
                    continue;
                const double bearing = radials[r].startAngle + radials[r].angleDelta / 2;
                found.push_back({pixelAt(range, bearing, longRange), colour});
            }
        }
    } else {
        const auto& grid = std::get<level3::RasterGrid>(p.packets[0]);
        const double half = grid.rows.size() * grid.boxKm / 2;
        for (std::size_t row = 1; row + 1 < grid.rows.size(); row += 5) {
            for (std::size_t column = 1; column + 1 < grid.rows[row].size(); column += 5) {
                const std::uint8_t colour = colourOf(grid.rows[row][column]);
                bool solid = colour != picture::colour::kBlack;
                for (std::size_t r = row - 1; r <= row + 1 && solid; ++r)
                    for (std::size_t c = column - 1; c <= column + 1 && solid; ++c)
                        solid = c < grid.rows[r].size() && colourOf(grid.rows[r][c]) == colour;
                if (!solid)
                    continue;
                const double east = (column + 0.5) * grid.boxKm - half;
                const double north = half - (row + 0.5) * grid.boxKm;
                found.push_back(
                    {pixelAt(std::hypot(east, north),
                             std::atan2(east, north) * 180 / std::numbers::pi, longRange),
                     colour});
            }
        }
    }
    return found;
}

} // namespace

TEST(Drawing, EveryProductsEchoesLandWhereTheProjectionPutsThemInTheirColour) {
    const std::tuple<const char*, picture::EchoKind, bool> products[] = {
        {"KLSX_SDUS53_N0RLSX_202105041639", picture::EchoKind::Reflectivity, false},
        {"KLSX_SDUS73_N0ZLSX_202105042031", picture::EchoKind::Reflectivity, true},
        {"KLSX_SDUS53_NCRLSX_202112110215", picture::EchoKind::Reflectivity, false},
        {"KLSX_SDUS63_NCZLSX_202112110130", picture::EchoKind::Reflectivity, true},
        {"KLSX_SDUS33_N1PLSX_202112110103", picture::EchoKind::Rainfall, false},
        {"KLSX_SDUS53_NTPLSX_202112110114", picture::EchoKind::Rainfall, false},
        {"KLSX_SDUS23_N2QLSX_202112110250", picture::EchoKind::Reflectivity, false},
        {"KLSX_SDUS83_DAALSX_202112110135", picture::EchoKind::Rainfall, false},
        {"KLSX_SDUS83_DTALSX_202112110209", picture::EchoKind::Rainfall, false},
        {"Level3_STL_TZ0_20211211_0200.nids", picture::EchoKind::Reflectivity, false},
        {"Level3_STL_NCR_20211211_0200.nids", picture::EchoKind::Reflectivity, false},
    };
    const picture::IndexedImage noMap(picture::kImageWidth, picture::kImageHeight, 0);
    for (const auto& [name, kind, longRange] : products) {
        SCOPED_TRACE(name);
        const level3::Product product = productFile(name);
        const picture::EchoGrid grid = nws::echoGridFromProduct(product, kind, longRange);
        const picture::IndexedImage frame = picture::composeFrame(grid, noMap, {});
        int checked = 0;
        for (const Echo& echo : solidEchoes(product, kind, longRange)) {
            const int x = echo.pixel.x();
            const int y = echo.pixel.y();
            if (!picture::EchoGrid::inMap(x, y))
                continue;
            ASSERT_EQ(picture::echoColour(kind, grid.at(x, y)), echo.colour) << x << "," << y;
            ASSERT_EQ(frame.pixel(x, y), echo.colour) << x << "," << y;
            ++checked;
        }
        EXPECT_GE(checked, 5) << "echoes checked";
    }
}

TEST(Drawing, TheProjectionKeepsDistanceAndBearingFromTheRadar) {
    const picture::GeoPoint lsx{klsx().latitude, klsx().longitude};
    const radar::SiteRow& ilx = *radar::FindSite(QStringLiteral("kilx"));
    // Great-circle distance and initial bearing from St. Louis to Lincoln, IL.
    const double phi1 = lsx.latitude * std::numbers::pi / 180,
                 phi2 = ilx.latitude * std::numbers::pi / 180;
    const double dLambda = (ilx.longitude - lsx.longitude) * std::numbers::pi / 180;
    const double distance =
        picture::kEarthRadiusMiles * std::acos(std::sin(phi1) * std::sin(phi2) +
                                               std::cos(phi1) * std::cos(phi2) * std::cos(dLambda));
    const double bearing = std::atan2(std::sin(dLambda) * std::cos(phi2),
                                      std::cos(phi1) * std::sin(phi2) -
                                          std::sin(phi1) * std::cos(phi2) * std::cos(dLambda));
    const picture::PlaneOffset offset = picture::projectFrom(lsx, {ilx.latitude, ilx.longitude});
    EXPECT_NEAR(std::hypot(offset.east, offset.north), distance, 1e-6);
    EXPECT_NEAR(std::atan2(offset.east, offset.north), bearing, 1e-9);
    const picture::GeoPoint back = picture::unprojectFrom(lsx, offset.east, offset.north);
    EXPECT_NEAR(back.latitude, ilx.latitude, 1e-9);
    EXPECT_NEAR(back.longitude, ilx.longitude, 1e-9);
}

TEST(Drawing, TheBasemapHasRealBoundariesRingsAndTheNeighbouringRadars) {
    int kinds[4] = {};
    for (const picture::BoundaryLine& line : boundaries())
        ++kinds[int(line.kind)];
    EXPECT_GT(kinds[1], 1000) << "county lines";
    EXPECT_GT(kinds[2], 100) << "state lines";
    EXPECT_GT(kinds[3], 100) << "coasts and borders";

    const picture::IndexedImage map = picture::basemapLayer(boundaries(), klsx(), false);
    int stateLines = 0;
    int countyLines = 0;
    for (int y = picture::kMapTop; y < picture::kMapBottom; ++y)
        for (int x = 0; x < picture::kImageWidth; ++x) {
            stateLines += map.pixel(x, y) == picture::colour::kStateLine;
            countyLines += map.pixel(x, y) == picture::colour::kCountyLine;
        }
    EXPECT_GT(stateLines, 500) << "state lines around St. Louis";
    // County lines keep their own colour where no state line lies over them.
    EXPECT_GT(countyLines, 2 * stateLines);
    // Paducah's radar is marked where the projection puts it.
    const radar::SiteRow& pah = *radar::FindSite(QStringLiteral("kpah"));
    const picture::PlaneOffset offset =
        picture::projectFrom({klsx().latitude, klsx().longitude}, {pah.latitude, pah.longitude});
    const QPointF at = picture::milesToPixel(offset.east, offset.north, false);
    EXPECT_EQ(map.pixel(int(at.x()), int(at.y())), picture::colour::kMapText);
    EXPECT_EQ(map.pixel(picture::kCenterX, picture::kCenterY), picture::colour::kSiteMarker);
    // St. Louis's airport radar is a small hollow square.
    const radar::SiteRow& stl = *radar::FindSite(QStringLiteral("tstl"));
    const picture::PlaneOffset tdwr =
        picture::projectFrom({klsx().latitude, klsx().longitude}, {stl.latitude, stl.longitude});
    const QPointF square = picture::milesToPixel(tdwr.east, tdwr.north, false);
    QString drawn;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            drawn += map.pixel(int(std::floor(square.x())) + dx,
                               int(std::floor(square.y())) + dy) == picture::colour::kMapText
                         ? u'#'
                         : u'.';
    EXPECT_EQ(drawn, QStringLiteral("####.####"));

    // A neighbour at the picture's side is left out whole rather than cut.
    for (const char* code : {"klsx", "kmkx", "kama", "kbox"}) {
        const picture::IndexedImage alone =
            picture::basemapLayer({}, *radar::FindSite(QLatin1String(code)), true);
        int atSides = 0;
        for (int y = 0; y < picture::kImageHeight; ++y)
            for (const int x : {0, 1, picture::kImageWidth - 2, picture::kImageWidth - 1})
                atSides += alone.pixel(x, y) == picture::colour::kMapText;
        EXPECT_EQ(atSides, 0) << code;
    }

    const QByteArray damaged = QByteArray("NVBNDRY1") + QByteArray(40, '\xFF');
    const auto result = picture::readBoundaries(std::span(
        reinterpret_cast<const std::uint8_t*>(damaged.constData()), std::size_t(damaged.size())));
    EXPECT_TRUE(std::holds_alternative<QString>(result));
}

TEST(Drawing, APictureIsAGifOfTheProgramsSizeWithTheAskedParity) {
    const picture::IndexedImage noMap(picture::kImageWidth, picture::kImageHeight, 0);
    picture::FrameTitles titles;
    titles.site = klsx().stationTitle();
    titles.product = QStringLiteral("BASE REFLECTIVITY");
    titles.scanTime = QDateTime(QDate(2021, 5, 4), QTime(16, 39, 30), Qt::UTC);
    const picture::IndexedImage frame = picture::composeFrame(
        nws::echoGridFromProduct(productFile("KLSX_SDUS53_N0RLSX_202105041639"),
                                 picture::EchoKind::Reflectivity, false),
        noMap, titles);
    for (const bool odd : {false, true}) {
        const QByteArray gif = picture::frameGif(frame, odd);
        EXPECT_EQ(gif.size() % 2 == 1, odd);
        const QImage image = QImage::fromData(gif, "GIF");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(600, 550));
    }
    EXPECT_EQ(picture::stampText(titles.scanTime), QStringLiteral("05/04/2021 16:39 UTC"));
}
