#include "core/window_placement.h"

#include <algorithm>
#include <cmath>

namespace nubivista::core {

namespace {

constexpr float kDefaultMaxWidth = 12405;
constexpr float kSideMargins = 1800;
constexpr float kTopMargin = 900;
constexpr float kVerticalMargins = 1800;

} // namespace

WindowPlacement placementAtClose(const WindowPlacement& stored, const WindowPlacement& current,
                                 WindowShowState state) {
    const bool keepCurrent = state == WindowShowState::Normal &&
                             current.width >= kMinStoredWidthTwips &&
                             current.height >= kMinStoredHeightTwips;
    return keepCurrent ? current : stored;
}

WindowPlacement defaultPlacement(const WindowPlacement& workArea) {
    WindowPlacement p;
    p.width = std::min(workArea.width - kSideMargins, kDefaultMaxWidth);
    if (p.width <= 0)
        p.width = workArea.width;
    p.left = workArea.left + (workArea.width - p.width) / 2;
    p.top = workArea.top + kTopMargin;
    p.height = workArea.height - kVerticalMargins;
    if (p.height <= 0) {
        p.top = workArea.top;
        p.height = workArea.height;
    }
    return p;
}

bool needsDefaultPlacement(const WindowPlacement& stored) {
    if (stored == WindowPlacement{})
        return true;
    const auto usableSize = [](float v) { return std::isfinite(v) && v > 0; };
    return !usableSize(stored.width) || !usableSize(stored.height);
}

WindowPlacement placementAtStart(const WindowPlacement& stored, const WindowPlacement& workArea) {
    return needsDefaultPlacement(stored) ? defaultPlacement(workArea) : stored;
}

int twipsToPixels(double twips) {
    if (!std::isfinite(twips))
        return 0;
    // A damaged record may hold any float; keep the result a sane int.
    const double pixels = std::clamp(twips / kTwipsPerPixel, -1.0e6, 1.0e6);
    return static_cast<int>(std::lround(pixels));
}

float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

QRect placementToPixels(const WindowPlacement& placement) {
    return QRect(twipsToPixels(placement.left), twipsToPixels(placement.top),
                 twipsToPixels(placement.width), twipsToPixels(placement.height));
}

WindowPlacement placementFromPixels(const QRect& rect) {
    return {pixelsToTwips(rect.x()), pixelsToTwips(rect.y()), pixelsToTwips(rect.width()),
            pixelsToTwips(rect.height())};
}

} // namespace nubivista::core
