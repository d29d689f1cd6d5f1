#include "feed/picture/palettes.h"
#include "feed/server/national_map.h"
#include "radar/site_table.h"

#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista::feed;

namespace {

struct Area {
    int x, y, radius;
    QString site;
};

// A click on a site's marker opens that site's page: every site of the table
// has one link of the program's exact form, around the site's marker, and no
// two links' circles overlap.
TEST(NationalMap, LinksEverySiteOnceAtItsMarker) {
    const QString page = QString::fromLatin1(server::nationalMapHtml());
    static const QRegularExpression kArea(
        QStringLiteral(R"re(<area shape="circle" coords="(\d+),(\d+),(\d+)" href="([^"]*)")re"));
    std::vector<Area> areas;
    for (const QRegularExpressionMatch& match : kArea.globalMatch(page)) {
        const QString link = match.captured(4);
        ASSERT_EQ(link, QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.") +
                            link.mid(49, 4) + QStringLiteral(".shtml"));
        areas.push_back({match.captured(1).toInt(), match.captured(2).toInt(),
                         match.captured(3).toInt(), link.mid(49, 4)});
    }
    QSet<QString> linked;
    for (const Area& area : areas)
        linked.insert(area.site);
    EXPECT_EQ(std::size_t(linked.size()), areas.size()) << "one link per site";
    for (const nubivista::radar::SiteRow& row : nubivista::radar::SiteTable())
        EXPECT_TRUE(linked.contains(QString(row.code))) << row.code.data();

    // State lines are drawn on the national map, county lines are not.
    const auto ringPixels = [](picture::BoundaryLine::Kind kind) {
        picture::BoundaryLine line{kind, {{38.0, -97.0}, {40.0, -95.0}}, 38.0, 40.0, -97.0, -95.0};
        const QImage drawn = QImage::fromData(server::nationalMapGif({line}), "GIF");
        const QImage none = QImage::fromData(server::nationalMapGif({}), "GIF");
        int changed = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                changed += drawn.pixel(x, y) != none.pixel(x, y);
        return changed;
    };
    EXPECT_GT(ringPixels(picture::BoundaryLine::Kind::State), 20);
    EXPECT_EQ(ringPixels(picture::BoundaryLine::Kind::County), 0);

    const QImage map = QImage::fromData(server::nationalMapGif({}), "GIF");
    ASSERT_EQ(map.size(), QSize(server::kNationalMapWidth, server::kNationalMapHeight));
    const auto& palette = picture::radarPalette();
    const auto isMarker = [&](QRgb pixel) {
        for (const std::uint8_t index :
             {picture::colour::kSiteMarker, picture::colour::kTdwrMarker})
            if (pixel == qRgb(palette[index].red, palette[index].green, palette[index].blue))
                return true;
        return false;
    };
    for (const Area& area : areas) {
        SCOPED_TRACE(area.site.toStdString());
        EXPECT_GE(area.radius, 3);
        bool shown = false;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                shown = shown || isMarker(map.pixel(area.x + dx, area.y + dy));
        EXPECT_TRUE(shown) << "a marker at the link, not hidden under an inset";
        for (const Area& other : areas) {
            if (&other != &area) {
                EXPECT_GE(std::hypot(other.x - area.x, other.y - area.y),
                          area.radius + other.radius)
                    << other.site.toStdString();
            }
        }
    }
}

} // namespace
