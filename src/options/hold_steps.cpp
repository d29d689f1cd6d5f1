#include "options/hold_steps.h"

#include "options/map_scale.h"

#include <algorithm>
#include <cmath>

namespace nubivista::options {

float scaleStep(Qt::MouseButton button, bool ctrl) {
    if (button == Qt::LeftButton)
        return ctrl ? 0.01f : 1.0f;
    return ctrl ? 0.001f : 0.1f;
}

ScaleAfterStep stepScale(float display, float unitFactor, float step, bool up) {
    ScaleAfterStep after;
    after.display = up ? display + step : display - step;
    after.mapScale = after.display * 15.0f * unitFactor;
    const bool pastLimit = up ? after.mapScale > kMaxMapScale : after.mapScale < kMinMapScale;
    if (pastLimit) {
        after.mapScale = up ? kMaxMapScale : kMinMapScale;
        after.display = scaleDisplay(after.mapScale, unitFactor);
    }
    return after;
}

std::int32_t delayStep(bool ctrl) {
    return ctrl ? 50 : 10;
}

std::int32_t steppedDelay(std::int32_t ms, std::int32_t step, bool up) {
    // Each button checks the limit it moves towards.
    const std::int64_t next = static_cast<std::int64_t>(ms) + (up ? step : -step);
    return static_cast<std::int32_t>(up ? std::min<std::int64_t>(next, kMaxExtraMs)
                                        : std::max<std::int64_t>(next, kMinExtraMs));
}

double steppedStampMinutes(double minutes, bool up) {
    // Whole minutes as the old rounding made them: halves go to the even one.
    const double next = std::nearbyint(minutes + (up ? 1.0 : -1.0));
    return up ? std::min(next, kMaxStampMinutes) : std::max(next, kMinStampMinutes);
}

} // namespace nubivista::options
