#pragma once
// One radar picture: the echoes in the product's colours, the map over them,
// the title rows with the scan's time in the program's stamp strip, and the
// legend.
#include "feed/picture/echo_grid.h"
#include "feed/picture/indexed_image.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace nubivista::feed::picture {

struct FrameTitles {
    QString site;    // "KLSX - ST LOUIS, MO"
    QString product; // "BASE REFLECTIVITY"
    bool longRange = false;
    QDateTime scanTime; // UTC
    // Pictures of the simulated storms say so, so that nobody takes them for
    // real weather.
    bool simulated = false;
    // Lines the radar sent instead of data ("NO PRECIPITATION DETECTED
    // SINCE ..."), printed plainly over the map.
    std::vector<QString> notes;
};

// "06/12/2026 13:55 UTC"
QString stampText(const QDateTime& utc);

IndexedImage composeFrame(const EchoGrid& echoes, const IndexedImage& basemap,
                          const FrameTitles& titles);

// The picture as GIF bytes whose size is odd or even as asked: the program
// tells a new image by its time and size, so two consecutive scans of one
// site and product must never have the same size; their sources alternate.
QByteArray frameGif(const IndexedImage& frame, bool oddSize);

} // namespace nubivista::feed::picture
