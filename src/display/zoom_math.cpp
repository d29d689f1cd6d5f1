#include "display/zoom_math.h"

#include "display/layout_rules.h"

#include <algorithm>
#include <cmath>

namespace nubivista::display {

namespace {

constexpr int kCtrlAlone = 2;
// Below this factor a fine step is 0.1, from it on 0.2.
constexpr float kFineStepLimit = 3.0f;
constexpr float kFineStep = 0.1f;
constexpr float kCoarseFineStep = 0.2f;
constexpr float kCtrlStep = 1.0f;
// Ctrl with the smaller button never goes below the natural size.
constexpr float kCtrlSmallerFloor = 1.0f;

double roundToPixels(double twips) {
    return std::round(twips / kTwipsPerPixel) * kTwipsPerPixel;
}

} // namespace

float nextZoomFactor(float factor, ZoomDirection direction, int shiftState) {
    const bool ctrl = shiftState == kCtrlAlone;
    const float fine = factor < kFineStepLimit ? kFineStep : kCoarseFineStep;
    if (direction == ZoomDirection::Smaller) {
        if (ctrl) {
            const float next = factor - kCtrlStep;
            return next < kCtrlSmallerFloor ? kCtrlSmallerFloor : next;
        }
        const float next = factor - fine;
        return next < kZoomMin ? kZoomMin : next;
    }
    const float next = factor + (ctrl ? kCtrlStep : fine);
    return next > kZoomMax ? kZoomMax : next;
}

QString zoomFactorText(float factor) {
    const long tenths = std::lround(static_cast<double>(factor) * 10.0);
    if (tenths % 10 == 0)
        return QString::number(tenths / 10);
    return QString::number(static_cast<double>(tenths) / 10.0, 'f', 1);
}

ScrollAllowance scrollAllowance(double pictureWidth, double pictureHeight, double viewWidth,
                                double viewHeight) {
    ScrollAllowance a;
    a.horizontal = pictureWidth - (viewWidth + kFitSlack) > 0 ? kScrollBarAllowance : 0;
    a.vertical = pictureHeight - (viewHeight + kFitSlack) > 0 ? kScrollBarAllowance : 0;
    // A picture within the slack of the view fits: without a bar there is
    // nothing to scroll.
    if (a.horizontal > 0)
        a.hOverflow = std::max(0.0, pictureWidth - (viewWidth - a.horizontal));
    if (a.vertical > 0)
        a.vOverflow = std::max(0.0, pictureHeight - (viewHeight - a.vertical));
    return a;
}

CentredOffset centredOffset(double viewSize, double allowance, double oldSize, double oldEdge,
                            double newSize) {
    const double visible = viewSize - allowance;
    CentredOffset result;
    if (visible > newSize)
        return result;
    if (oldSize > visible && oldEdge < 0) {
        // The centre's distance from the picture's edge, as a share of the
        // picture, stays the same at the new size.
        const double centre = -oldEdge + visible / 2;
        if (centre > 0) {
            const double ratio = oldSize / centre;
            if (ratio > 0) {
                result.offset = roundToPixels(newSize / ratio - visible / 2);
                result.farHalf = ratio < 2.0;
            }
        }
    }
    if (result.offset <= kTwipsPerPixel)
        result.offset = 0;
    return result;
}

std::optional<int> barValueAfterZoom(const CentredOffset& offset, int barMax, double oldSize) {
    const int offsetPx = toPixels(offset.offset);
    int value = 0;
    if (offsetPx < barMax)
        value = offsetPx;
    else if (offset.farHalf)
        value = barMax - toPixels(oldSize);
    if (value < 0 || value > barMax)
        return std::nullopt;
    return value;
}

ScrollBarPlacement scrollBarPlacement(double viewWidth, double viewHeight,
                                      const ScrollAllowance& allowance) {
    const double barGap = kTwipsPerPixel;
    ScrollBarPlacement p;
    p.vertical = {viewWidth - allowance.vertical, 0, kScrollBarAllowance,
                  viewHeight - allowance.horizontal - barGap};
    p.horizontal = {0, viewHeight - allowance.horizontal, viewWidth - allowance.vertical - barGap,
                    kScrollBarAllowance};
    p.corner = {viewWidth - allowance.horizontal, viewHeight - allowance.vertical,
                kScrollBarAllowance, kScrollBarAllowance};
    return p;
}

TwipsSize fittedInnerSize(double pictureWidth, double pictureHeight, double panelAllowance,
                          double statusBarAllowance) {
    // The layout keeps the view a fixed distance from the window's edges, so
    // that frame can be measured at any window size.
    constexpr double kProbeSize = 30000;
    LayoutInput probe;
    probe.innerWidth = kProbeSize;
    probe.innerHeight = kProbeSize;
    probe.panelAllowance = panelAllowance;
    probe.statusBarAllowance = statusBarAllowance;
    const TwipsRect view = layoutControls(probe).picture4;
    return {pictureWidth + (kProbeSize - view.width), pictureHeight + (kProbeSize - view.height)};
}

QSize fitWithBars(QSize inner, QSize room, int barPx) {
    int width = inner.width();
    int height = inner.height();
    bool widthClamped = false;
    bool heightClamped = false;
    // Twice: a side grown for the other's bar may then be clamped itself.
    for (int pass = 0; pass < 2; ++pass) {
        if (!heightClamped && height > room.height()) {
            heightClamped = true;
            width += barPx;
        }
        if (!widthClamped && width > room.width()) {
            widthClamped = true;
            height += barPx;
        }
    }
    return {std::max(1, std::min(width, room.width())),
            std::max(1, std::min(height, room.height()))};
}

} // namespace nubivista::display
