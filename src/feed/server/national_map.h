#pragma once

#include "feed/picture/boundaries.h"
#include "feed/picture/towns.h"
#include "radar/site_table.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

namespace nubivista::feed::server {

// Small enough for the map pane of the default window on a 1600 x 1000 desktop.
inline constexpr int kNationalMapWidth = 780;
inline constexpr int kNationalMapHeight = 488;

// Where a site sits on the national map image. An airport radar standing a few
// pixels from a WSR-88D is drawn a little aside, so that each marker can be
// seen and clicked; its label is left out where there is no room for it.
struct SiteSpot {
    QString code;
    radar::RadarType type = radar::RadarType::Wsr88d;
    QPoint position;             // the marker's centre
    QPoint station;              // where the radar stands, under or beside its marker
    std::optional<QPoint> label; // the top left of the code's text
    int linkRadius = 8;          // no two sites' link circles overlap
};

// Every site's place on the map: the 48 states on an equirectangular grid, Alaska,
// Hawaii, Guam, Puerto Rico, and Korea with Okinawa in boxes of their own.
std::vector<SiteSpot> nationalMapSpots();

// The map image: the state lines and coasts of the 48 states and the insets,
// with the labelled sites: WSR-88D as red dots, airport radars as small blue
// squares; and each state's largest town, where there is room.
QByteArray nationalMapGif(const picture::BoundaryLines& lines, const picture::Towns& towns = {});

// The page: the image with an image map of one link per site, exactly
// http://weather.noaa.gov/radar/latest/DS.p19r0/si.<site>.shtml, and a few
// ordinary links around it.
QByteArray nationalMapHtml();

} // namespace nubivista::feed::server
