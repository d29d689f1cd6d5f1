#pragma once
// Window geometry in twips, as the layout rules reckon it; converted to
// logical pixels (15 twips each) only where a widget is placed.
#include "core/window_placement.h"

#include <QPoint>
#include <QRect>

namespace nubivista::display {

inline constexpr double kTwipsPerPixel = core::kTwipsPerPixel;

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

inline int toPixels(double twips) {
    return core::twipsToPixels(twips);
}
inline double toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect toPixels(const TwipsRect& r) {
    return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}

inline TwipsRect toTwips(const QRect& r) {
    return {toTwips(r.x()), toTwips(r.y()), toTwips(r.width()), toTwips(r.height())};
}

} // namespace nubivista::display
