// The towns on the pictures, from the real GeoNames file the build makes:
// labels that never overlap or cover the radar or the title rows, on the
// town's own pixel; and the rainfall pictures' scale and period.
#include "feed/level3/decode.h"
#include "feed/nws/echo_from_product.h"
#include "feed/picture/basemap.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/palettes.h"
#include "feed/picture/town_labels.h"
#include "support/files.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista;
using namespace nubivista::feed;

namespace {

const picture::Towns& towns() {
    static const picture::Towns all =
        picture::townsOrNone(QStringLiteral(NUBIVISTA_APP_DIR "/") + picture::kTownsFileName);
    return all;
}

const radar::SiteRow& site(const char* code) {
    return *radar::FindSite(QLatin1String(code));
}

} // namespace

TEST(TownLabels, TheLargestTownsAreNamedOnTheirPixelWithNoLabelOverAnotherOrTheRadar) {
    struct Case {
        const char* site;
        bool longRange;
        const char* named; // a town the picture must name
    };
    const Case cases[] = {
        {"klsx", false, "St. Louis"}, {"klot", false, "Chicago"}, {"klsx", true, "Kansas City"}};
    const QRect marker(picture::kCenterX - 3, picture::kCenterY - 3, 7, 7);
    std::size_t shortCount = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.site);
        const radar::SiteRow& radar = site(c.site);
        const picture::GeoPoint centre{radar.latitude, radar.longitude};
        const auto labels = picture::placeTownLabels(towns(), centre, c.longRange, {marker});
        ASSERT_GT(labels.size(), 10u);
        shortCount = c.longRange ? shortCount : std::max(shortCount, labels.size());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QRect& box = labels[i].box;
            EXPECT_FALSE(box.intersects(marker)) << labels[i].text;
            EXPECT_GE(box.top(), picture::kMapTop) << "clear of the title rows";
            EXPECT_LE(box.bottom(), picture::kMapBottom - 1) << "clear of the legend";
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(box.intersects(labels[j].box)) << labels[i].text << labels[j].text;
        }
        const std::string wanted = QString::fromLatin1(c.named).toUpper().toStdString();
        const auto found = std::find_if(labels.begin(), labels.end(),
                                        [&](const auto& label) { return label.text == wanted; });
        ASSERT_NE(found, labels.end()) << c.named;
        const auto town = std::find_if(towns().begin(), towns().end(), [&](const auto& t) {
            return t.name == QLatin1String(c.named);
        });
        const picture::PlaneOffset offset = picture::projectFrom(centre, town->position);
        const QPointF pixel = picture::milesToPixel(offset.east, offset.north, c.longRange);
        EXPECT_EQ(found->dot, QPoint(int(std::floor(pixel.x())), int(std::floor(pixel.y()))));
        // The basemap draws the dot there, over whatever lines pass.
        const picture::IndexedImage layer = picture::basemapLayer({}, radar, c.longRange, towns());
        EXPECT_EQ(layer.pixel(found->dot.x(), found->dot.y()), picture::colour::kTownText);
    }
    // The long range names fewer, larger towns.
    const auto wide = picture::placeTownLabels(towns(), {38.699, -90.683}, true, {});
    EXPECT_LT(wide.size(), shortCount);

    // A damaged file names nothing, and says so.
    QByteArray bytes = nubivista::testing::readBytes(QStringLiteral(NUBIVISTA_APP_DIR "/") +
                                                     picture::kTownsFileName);
    for (const QByteArray& damaged : {bytes.left(4000), QByteArray("NVTOWNS1\xff\xff\xff\x7f")}) {
        const auto read =
            picture::readTowns(std::span(reinterpret_cast<const std::uint8_t*>(damaged.constData()),
                                         std::size_t(damaged.size())));
        ASSERT_TRUE(std::holds_alternative<QString>(read));
        EXPECT_TRUE(std::get<QString>(read).contains(QLatin1String("damaged")));
    }
}

TEST(RainfallPictures, TheScaleHasDistinctHuesAndTheStormTotalSaysSinceWhen) {
    const picture::Palette& palette = picture::radarPalette();
    const auto steps = picture::rainfallSteps();
    EXPECT_DOUBLE_EQ(steps.front(), 0.10) << "smaller amounts stay undrawn";
    for (std::size_t i = 1; i < steps.size(); ++i) {
        const auto& a = palette[picture::colour::kRainfallFirst + i - 1];
        const auto& b = palette[picture::colour::kRainfallFirst + i];
        EXPECT_GE(
            std::hypot(double(a.red - b.red), double(a.green - b.green), double(a.blue - b.blue)),
            20.0)
            << "steps " << i;
    }
    struct Case {
        const char* file;
        const char* caption;
    };
    const Case cases[] = {
        {"KLSX_SDUS83_DTALSX_202112110209", "STORM TOTAL SINCE 12/10 15:43 UTC"},
        {"KLSX_SDUS53_NTPLSX_202112110114", "STORM TOTAL SINCE 12/10 15:46 UTC"},
        {"KLSX_SDUS33_N1PLSX_202112110103", "1-HOUR RAINFALL"},
    };
    for (const Case& c : cases) {
        const auto decoded = level3::decodeLevel3(nubivista::testing::productFile(c.file));
        ASSERT_TRUE(std::holds_alternative<level3::Product>(decoded)) << c.file;
        const picture::FrameTitles titles =
            nws::scanTitles(std::get<level3::Product>(decoded), site("klsx"),
                            QStringLiteral("1-HOUR RAINFALL"), false);
        EXPECT_EQ(titles.product, QLatin1String(c.caption)) << c.file;
    }
}
