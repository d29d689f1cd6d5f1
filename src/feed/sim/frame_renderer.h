#pragma once
// The simulator's frames: its storms as an echo grid, drawn by the feed's
// frame composer over the same basemap as the live pictures, marked SIMULATED.
#include "feed/picture/basemap_cache.h"
#include "feed/picture/bitmap_font.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/gif_writer.h"
#include "feed/picture/indexed_image.h"
#include "feed/picture/palettes.h"
#include "feed/sim/products.h"
#include "feed/sim/site_list.h"

#include <QByteArray>
#include <QPointF>
#include <QString>

namespace nubivista::feed::sim {

namespace picture = nubivista::feed::picture;
using picture::BasemapCache;
using picture::EchoGrid;
using picture::EchoKind;
using picture::IndexedImage;
using picture::kCenterX;
using picture::kCenterY;
using picture::kImageHeight;
using picture::kImageWidth;
using picture::kMapBottom;
using picture::kMapHeight;
using picture::kMapTop;
using picture::kStampHeight;
using picture::kStampWidth;
using picture::kStampX;
using picture::kStampY;
using picture::Palette;
using picture::radarPalette;
using picture::Rgb;
namespace colour = picture::colour;
using picture::drawText;
using picture::encodeGif;
using picture::textWidth;

// Reads the boundary lines the frames' maps are drawn from; without them the
// maps have rings and radars but no lines.
void loadBasemap(const QString& boundaryFile, const QString& townsFile = {});
const picture::BoundaryLines& boundaryLines();
const picture::Towns& mapTowns();

// Image pixel of a point given in miles east and north of the site.
QPointF milesToPixel(double eastMiles, double northMiles, const Product& product);

// "06/12/2026 13:55 UTC"
QString stampText(qint64 utcSeconds);

// Draws the whole frame of a site and product at a frame time.
IndexedImage renderFrame(const Site& site, const Product& product, qint64 frameSeconds);

// The frame as GIF bytes. Consecutive frames never have the same byte size (the
// size's parity follows the frame index), so a client that tells images apart by
// size always sees a new frame as new.
QByteArray frameGif(const Site& site, const Product& product, qint64 frameSeconds,
                    qint64 frameIndex);

// A GIF whose header and palette are intact but whose image data is garbled and cut
// short, so that a decoder rejects it.
QByteArray corruptGif(const QByteArray& gif);

} // namespace nubivista::feed::sim
