#include "feed/server/national_map.h"

#include "feed/picture/bitmap_font.h"
#include "feed/picture/boundaries.h"
#include "feed/picture/gif_writer.h"
#include "feed/picture/indexed_image.h"
#include "feed/picture/palettes.h"
#include "radar/site_table.h"

#include <QRect>
#include <array>
#include <cmath>
#include <optional>

namespace nubivista::feed::server {

using namespace picture;

namespace {

struct Region {
    const char* label;
    QRect box; // on the image
    double west, east, south, north;

    bool contains(double latitude, double longitude) const {
        return latitude >= south && latitude <= north && longitude >= west && longitude <= east;
    }
    QPoint place(double latitude, double longitude) const {
        const double x = box.left() + (longitude - west) / (east - west) * (box.width() - 1);
        const double y = box.top() + (north - latitude) / (north - south) * (box.height() - 1);
        return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    }
};

constexpr int kTitleHeight = 20;

// The contiguous states first; the insets sit over ocean and Mexico.
const std::array<Region, 5> kRegions{{
    {nullptr, QRect(0, kTitleHeight, kNationalMapWidth, 522), -126.0, -65.0, 23.5, 50.0},
    {"ALASKA", QRect(4, 416, 200, 180), -172.0, -128.0, 52.0, 72.0},
    {"HAWAII", QRect(210, 500, 120, 96), -161.0, -154.0, 18.5, 23.0},
    {"GUAM", QRect(336, 532, 70, 64), 144.0, 146.0, 12.5, 14.5},
    {"PUERTO RICO", QRect(830, 520, 126, 76), -68.0, -64.5, 17.0, 19.5},
}};

std::optional<QPoint> placeOf(const radar::SiteRow& site) {
    for (const Region& region : kRegions) {
        if (region.contains(site.latitude, site.longitude)) {
            return region.place(site.latitude, site.longitude);
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<SiteSpot> nationalMapSpots() {
    std::vector<SiteSpot> spots;
    for (const radar::SiteRow& site : radar::SiteTable()) {
        if (const std::optional<QPoint> place = placeOf(site)) {
            spots.push_back(SiteSpot{site.code, *place});
        }
    }
    return spots;
}

// The state lines and coasts inside one region's box.
void drawOutlines(IndexedImage& image, const BoundaryLines& lines, const Region& region) {
    for (const BoundaryLine& line : lines) {
        if (line.kind == BoundaryLine::Kind::County || line.north < region.south ||
            line.south > region.north || line.east < region.west || line.west > region.east)
            continue;
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            const GeoPoint& a = line.points[i - 1];
            const GeoPoint& b = line.points[i];
            if (!region.contains(a.latitude, a.longitude) ||
                !region.contains(b.latitude, b.longitude))
                continue;
            const QPoint from = region.place(a.latitude, a.longitude);
            const QPoint to = region.place(b.latitude, b.longitude);
            image.drawLine(from.x(), from.y(), to.x(), to.y(), colour::kRing);
        }
    }
}

QByteArray nationalMapGif(const BoundaryLines& lines) {
    IndexedImage image(kNationalMapWidth, kNationalMapHeight, colour::kBlack);
    drawOutlines(image, lines, kRegions[0]);
    for (std::size_t i = 1; i < kRegions.size(); ++i) {
        const QRect& box = kRegions[i].box;
        image.fillRect(box.left(), box.top(), box.width(), box.height(), colour::kBlack);
        drawOutlines(image, lines, kRegions[i]);
        image.drawLine(box.left(), box.top(), box.right(), box.top(), colour::kLegendText);
        image.drawLine(box.left(), box.bottom(), box.right(), box.bottom(), colour::kLegendText);
        image.drawLine(box.left(), box.top(), box.left(), box.bottom(), colour::kLegendText);
        image.drawLine(box.right(), box.top(), box.right(), box.bottom(), colour::kLegendText);
        drawText(image, box.left() + 3, box.top() + 3, kRegions[i].label, colour::kLegendText);
    }
    drawText(image, 8, 3, "NWS DOPPLER RADAR SITES - CLICK A SITE", colour::kYellow, 2);
    for (const SiteSpot& spot : nationalMapSpots()) {
        image.fillCircle(spot.position.x(), spot.position.y(), 3, colour::kSiteMarker);
        drawText(image, spot.position.x() + 5, spot.position.y() - 3,
                 spot.code.toUpper().toStdString(), colour::kWhite);
    }
    return encodeGif(image, radarPalette()).value_or(QByteArray());
}

QByteArray nationalMapHtml() {
    QByteArray html;
    html += "<!DOCTYPE html>\n<html>\n<head>\n<title>NWS Radar - National Map</title>\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
            "</head>\n<body bgcolor=\"#ffffff\">\n"
            "<p><a href=\"http://weather.noaa.gov/\">National Weather Service</a> | "
            "<a href=\"http://weather.noaa.gov/radar/radinfo/radinfo.html\">About the radar "
            "images</a> | <a href=\"http://www.nws.noaa.gov/disclaimer.html\">Disclaimer</a></p>\n"
            "<h3>Doppler radar national mosaic - click a site for its latest image</h3>\n";
    html += "<img src=\"/radar/national.gif\" width=\"" + QByteArray::number(kNationalMapWidth) +
            "\" height=\"" + QByteArray::number(kNationalMapHeight) +
            "\" usemap=\"#radarsites\" border=\"0\" alt=\"National radar map\">\n";
    html += "<map name=\"radarsites\">\n";
    for (const SiteSpot& spot : nationalMapSpots()) {
        const radar::SiteRow* row = radar::FindSite(spot.code);
        const QByteArray title = row ? row->stationTitle().toLatin1() : QByteArray();
        html += "<area shape=\"circle\" coords=\"" + QByteArray::number(spot.position.x()) + "," +
                QByteArray::number(spot.position.y()) +
                ",8\" href=\"http://weather.noaa.gov/radar/latest/DS.p19r0/si." +
                spot.code.toLatin1() + ".shtml\" alt=\"" + title + "\" title=\"" + title + "\">\n";
    }
    html += "</map>\n<p><a href=\"http://www.srh.noaa.gov/\">Southern Region</a> | "
            "<a href=\"http://www.crh.noaa.gov/\">Central Region</a> | "
            "<a href=\"http://www.wrh.noaa.gov/\">Western Region</a></p>\n</body>\n</html>\n";
    return html;
}

} // namespace nubivista::feed::server
