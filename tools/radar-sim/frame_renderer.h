#pragma once

#include "gif_writer.h"
#include "indexed_image.h"
#include "products.h"
#include "site_list.h"

#include <QByteArray>
#include <QPoint>
#include <QPointF>
#include <QString>

namespace radarsim {

// Image geometry, the same for every product.
inline constexpr int kImageWidth = 600;
inline constexpr int kImageHeight = 550;
inline constexpr int kMapTop = 20;
inline constexpr int kMapBottom = 530; // exclusive; the legend is below
inline constexpr int kCenterX = 300;
inline constexpr int kCenterY = 275;
// The strip where the frame prints its own time, which the program cuts out.
inline constexpr int kStampX = 395;
inline constexpr int kStampY = 0;
inline constexpr int kStampWidth = 142;
inline constexpr int kStampHeight = 10;

// Palette slots.
namespace colour {
inline constexpr std::uint8_t kBlack = 0;
inline constexpr std::uint8_t kWhite = 1;
inline constexpr std::uint8_t kYellow = 2;
inline constexpr std::uint8_t kRing = 3;
inline constexpr std::uint8_t kMapText = 4;
inline constexpr std::uint8_t kSiteMarker = 5;
inline constexpr std::uint8_t kLegendText = 6;
inline constexpr std::uint8_t kReflectivityFirst = 16; // 15 levels, 5 dBZ apart from 5 dBZ
inline constexpr std::uint8_t kRainfallFirst = 32;     // 14 levels, see kRainfallSteps
} // namespace colour

const Palette& radarPalette();

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

} // namespace radarsim
