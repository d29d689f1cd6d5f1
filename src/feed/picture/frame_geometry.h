#pragma once
// The geometry every radar picture shares, live or simulated: the program's
// stamp boxes cut the time strip out of it, and its measurements take the
// default map scales for granted.
#include <QPointF>

namespace nubivista::feed::picture {

inline constexpr int kImageWidth = 600;
inline constexpr int kImageHeight = 550;
inline constexpr int kMapTop = 20;
inline constexpr int kMapBottom = 530; // exclusive; the legend is below
inline constexpr int kMapHeight = kMapBottom - kMapTop;
inline constexpr int kCenterX = 300;
inline constexpr int kCenterY = 275;
// The strip where a picture prints its own time.
inline constexpr int kStampX = 395;
inline constexpr int kStampY = 0;
inline constexpr int kStampWidth = 142;
inline constexpr int kStampHeight = 10;

// 15 twips a pixel over the program's default map scale of 30.2787 twips a
// statute mile; long range shows twice the distance a pixel.
inline constexpr double kMilesPerPixelShort = 15.0 / 30.2787;
inline constexpr double kMilesPerPixelLong = 2.0 * kMilesPerPixelShort;

inline double milesPerPixel(bool longRange) {
    return longRange ? kMilesPerPixelLong : kMilesPerPixelShort;
}

// The pixel of a point given in miles east and north of the radar, and back.
inline QPointF milesToPixel(double eastMiles, double northMiles, bool longRange) {
    const double mpp = milesPerPixel(longRange);
    return {kCenterX + eastMiles / mpp, kCenterY - northMiles / mpp};
}
inline QPointF pixelToMiles(double x, double y, bool longRange) {
    const double mpp = milesPerPixel(longRange);
    return {(x - kCenterX) * mpp, (kCenterY - y) * mpp};
}

} // namespace nubivista::feed::picture
