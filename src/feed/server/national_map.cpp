#include "feed/server/national_map.h"

#include "feed/picture/bitmap_font.h"
#include "feed/picture/boundaries.h"
#include "feed/picture/gif_writer.h"
#include "feed/picture/indexed_image.h"
#include "feed/picture/palettes.h"
#include "feed/picture/town_labels.h"
#include "radar/site_table.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <set>

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

// The map was laid out on a 960 x 600 grid; it is drawn smaller, at its own
// size, so that the whole of it fits the program's map pane in the default
// window of a 1600 x 1000 desktop (a page that scales a picture blurs it and
// moves its click areas).
constexpr double kScale = double(kNationalMapWidth) / 960.0;

QRect laidOut(int x, int y, int width, int height) {
    const auto at = [](int v) { return static_cast<int>(std::lround(v * kScale)); };
    return QRect(at(x), at(y), at(x + width) - at(x), at(y + height) - at(y));
}

// The contiguous states first; the insets sit over ocean and Mexico, Korea and
// Okinawa's over the Atlantic off the Carolinas.
const std::array<Region, 6> kRegions{{
    {nullptr,
     QRect(0, kTitleHeight, kNationalMapWidth, laidOut(0, 0, 0, 542).height() - kTitleHeight),
     -126.0, -65.0, 23.5, 50.0},
    {"ALASKA", laidOut(4, 416, 200, 180), -172.0, -128.0, 52.0, 72.0},
    {"HAWAII", laidOut(210, 500, 120, 96), -161.0, -154.0, 18.5, 23.0},
    {"GUAM", laidOut(336, 532, 70, 64), 144.0, 146.0, 12.5, 14.5},
    {"PUERTO RICO", laidOut(830, 520, 126, 76), -68.0, -64.5, 17.0, 19.5},
    {"KOREA/JAPAN", laidOut(868, 372, 88, 140), 124.5, 130.5, 25.0, 39.0},
}};

// A four-letter code's text, and how far an airport radar's marker may be
// drawn from where it stands to find room.
constexpr int kLabelWidth = 4 * kGlyphAdvance - 1;
constexpr int kMaxAside = 14;

const Region* regionOf(const radar::SiteRow& site) {
    for (const Region& region : kRegions) {
        if (region.contains(site.latitude, site.longitude))
            return &region;
    }
    return nullptr;
}

bool isTdwr(const SiteSpot& spot) {
    return spot.type == radar::RadarType::Tdwr;
}

// A marker with a pixel to spare around it: a dot of radius 3, or a square of 5.
QRect markerBox(const SiteSpot& spot) {
    const int half = isTdwr(spot) ? 3 : 4;
    return QRect(spot.position.x() - half, spot.position.y() - half, 2 * half + 1, 2 * half + 1);
}

QRect labelBox(QPoint topLeft) {
    return QRect(topLeft, QSize(kLabelWidth, kGlyphHeight));
}

// Whether a box lies wholly in the part of the map its region shows and clear of
// everything drawn so far.
bool isFree(const QRect& box, const Region& region, const std::vector<QRect>& taken) {
    if (!region.box.contains(box))
        return false;
    if (&region == &kRegions[0]) {
        for (std::size_t i = 1; i < kRegions.size(); ++i) {
            if (kRegions[i].box.intersects(box))
                return false;
        }
    }
    return std::none_of(taken.begin(), taken.end(),
                        [&box](const QRect& other) { return other.intersects(box); });
}

// Where a code's text may go from its marker: right, left, above, below, then
// the corners.
constexpr std::array<QPoint, 8> kLabelOffsets{{{5, -3},
                                               {-5 - kLabelWidth, -3},
                                               {-11, -12},
                                               {-11, 6},
                                               {4, -10},
                                               {4, 4},
                                               {-4 - kLabelWidth, -10},
                                               {-4 - kLabelWidth, 4}}};

std::optional<QPoint> freeLabel(const SiteSpot& spot, const Region& region,
                                const std::vector<QRect>& taken) {
    for (const QPoint& offset : kLabelOffsets) {
        const QRect box = labelBox(spot.position + offset);
        if (isFree(box, region, taken))
            return box.topLeft();
    }
    return std::nullopt;
}

// The offsets an airport radar's marker may take, nearest first.
std::vector<QPoint> asideOffsets() {
    std::vector<QPoint> offsets;
    for (int dy = -kMaxAside; dy <= kMaxAside; ++dy) {
        for (int dx = -kMaxAside; dx <= kMaxAside; ++dx) {
            if (dx * dx + dy * dy <= kMaxAside * kMaxAside)
                offsets.emplace_back(dx, dy);
        }
    }
    std::stable_sort(offsets.begin(), offsets.end(), [](QPoint a, QPoint b) {
        return QPoint::dotProduct(a, a) < QPoint::dotProduct(b, b);
    });
    return offsets;
}

} // namespace

std::vector<SiteSpot> nationalMapSpots() {
    std::vector<SiteSpot> spots;
    std::vector<const Region*> regions;
    for (const radar::SiteRow& site : radar::SiteTable()) {
        if (const Region* region = regionOf(site)) {
            const QPoint at = region->place(site.latitude, site.longitude);
            spots.push_back(SiteSpot{site.code, site.type, at, at, std::nullopt, 8});
            regions.push_back(region);
        }
    }
    // The insets' names and the WSR-88D at their places, then the WSR-88D's
    // codes: to the right unless that covers another, always somewhere.
    std::vector<QRect> taken;
    for (std::size_t i = 1; i < kRegions.size(); ++i) {
        const QRect& box = kRegions[i].box;
        taken.push_back(
            QRect(box.left() + 3, box.top() + 3, textWidth(kRegions[i].label), kGlyphHeight));
    }
    for (const SiteSpot& spot : spots) {
        if (!isTdwr(spot))
            taken.push_back(markerBox(spot));
    }
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (!isTdwr(spots[i])) {
            spots[i].label = freeLabel(spots[i], *regions[i], taken)
                                 .value_or(spots[i].position + kLabelOffsets[0]);
            taken.push_back(labelBox(*spots[i].label));
        }
    }
    // The airport radars at the nearest place with room, then their codes
    // where there is room for them.
    static const std::vector<QPoint> kAside = asideOffsets();
    for (std::size_t i = 0; i < spots.size(); ++i) {
        SiteSpot& spot = spots[i];
        if (!isTdwr(spot))
            continue;
        for (const QPoint& offset : kAside) {
            spot.position = spot.station + offset;
            if (isFree(markerBox(spot), *regions[i], taken))
                break;
            spot.position = spot.station;
        }
        taken.push_back(markerBox(spot));
    }
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (isTdwr(spots[i])) {
            spots[i].label = freeLabel(spots[i], *regions[i], taken);
            if (spots[i].label)
                taken.push_back(labelBox(*spots[i].label));
        }
    }
    // Link circles no larger than half the way to the nearest other marker.
    for (SiteSpot& spot : spots) {
        double nearest = 16;
        for (const SiteSpot& other : spots) {
            if (&other != &spot)
                nearest =
                    std::min(nearest, std::hypot(double(other.position.x() - spot.position.x()),
                                                 double(other.position.y() - spot.position.y())));
        }
        spot.linkRadius = std::max(1, static_cast<int>(nearest / 2));
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

// The largest town of each state, most populous first, named beside its place
// where it finds room among the sites' markers and codes (a radar often stands
// by the town itself, so no dot).
void drawStateCities(IndexedImage& image, const Towns& towns, const std::vector<SiteSpot>& spots) {
    std::vector<QRect> taken;
    for (const SiteSpot& spot : spots) {
        taken.push_back(markerBox(spot));
        if (spot.label)
            taken.push_back(labelBox(*spot.label));
    }
    std::set<QString> named;
    for (const Town& town : towns) {
        if (town.state.isEmpty() || !named.insert(town.state).second)
            continue;
        const double latitude = town.position.latitude;
        const double longitude = town.position.longitude;
        const auto region = std::find_if(kRegions.begin(), kRegions.end(), [&](const Region& r) {
            return r.contains(latitude, longitude);
        });
        if (region == kRegions.end())
            continue;
        // A town of the 48 states is named clear of the insets over them.
        std::vector<QRect> avoid = taken;
        if (region == kRegions.begin())
            for (auto inset = kRegions.begin() + 1; inset != kRegions.end(); ++inset)
                avoid.push_back(inset->box);
        const std::optional<TownLabel> label =
            placeLabel(town.name.toUpper().toStdString(), region->place(latitude, longitude),
                       region->box, avoid, false);
        if (!label)
            continue;
        taken.push_back(label->box);
        drawText(image, label->box.x() + 1, label->box.y() + 1, label->text, colour::kMapText);
    }
}

QByteArray nationalMapGif(const BoundaryLines& lines, const Towns& towns) {
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
    const std::vector<SiteSpot> spots = nationalMapSpots();
    drawStateCities(image, towns, spots);
    // An airport radar drawn aside points at where it stands.
    for (const SiteSpot& spot : spots) {
        if (isTdwr(spot) && spot.position != spot.station)
            image.drawLine(spot.station.x(), spot.station.y(), spot.position.x(), spot.position.y(),
                           colour::kTdwrMarker);
    }
    for (const SiteSpot& spot : spots) {
        if (isTdwr(spot))
            continue;
        image.fillCircle(spot.position.x(), spot.position.y(), 3, colour::kSiteMarker);
        if (spot.label)
            drawText(image, spot.label->x(), spot.label->y(), spot.code.toUpper().toStdString(),
                     colour::kWhite);
    }
    for (const SiteSpot& spot : spots) {
        if (!isTdwr(spot))
            continue;
        const int x = spot.position.x();
        const int y = spot.position.y();
        image.drawLine(x - 2, y - 2, x + 2, y - 2, colour::kTdwrMarker);
        image.drawLine(x - 2, y + 2, x + 2, y + 2, colour::kTdwrMarker);
        image.drawLine(x - 2, y - 2, x - 2, y + 2, colour::kTdwrMarker);
        image.drawLine(x + 2, y - 2, x + 2, y + 2, colour::kTdwrMarker);
        if (spot.label)
            drawText(image, spot.label->x(), spot.label->y(), spot.code.toUpper().toStdString(),
                     colour::kTdwrMarker);
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
                QByteArray::number(spot.position.y()) + "," + QByteArray::number(spot.linkRadius) +
                "\" href=\"http://weather.noaa.gov/radar/latest/DS.p19r0/si." +
                spot.code.toLatin1() + ".shtml\" alt=\"" + title + "\" title=\"" + title + "\">\n";
    }
    html += "</map>\n<p><a href=\"http://www.srh.noaa.gov/\">Southern Region</a> | "
            "<a href=\"http://www.crh.noaa.gov/\">Central Region</a> | "
            "<a href=\"http://www.wrh.noaa.gov/\">Western Region</a></p>\n</body>\n</html>\n";
    return html;
}

} // namespace nubivista::feed::server
