#pragma once

#include "feed/picture/boundaries.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <vector>

namespace nubivista::feed::server {

inline constexpr int kNationalMapWidth = 960;
inline constexpr int kNationalMapHeight = 600;

// Where a site sits on the national map image.
struct SiteSpot {
    QString code;
    QPoint position;
};

// Every site's place on the map: the 48 states on an equirectangular grid, Alaska,
// Hawaii, Puerto Rico and Guam in boxes of their own.
std::vector<SiteSpot> nationalMapSpots();

// The map image: the state lines and coasts of the 48 states and the insets,
// with the labelled sites.
QByteArray nationalMapGif(const picture::BoundaryLines& lines);

// The page: the image with an image map of one link per site, exactly
// http://weather.noaa.gov/radar/latest/DS.p19r0/si.<site>.shtml, and a few
// ordinary links around it.
QByteArray nationalMapHtml();

} // namespace nubivista::feed::server
