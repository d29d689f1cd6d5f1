#pragma once
// What one step of each press-and-hold pair of the Options window does: the
// step size for the mouse button and Ctrl, and the limits the value stops at.
#include <Qt>
#include <cstdint>

namespace nubivista::options {

inline constexpr std::int32_t kMinExtraMs = 0;
inline constexpr std::int32_t kMaxExtraMs = 5000;
inline constexpr double kMinStampMinutes = -15;
inline constexpr double kMaxStampMinutes = 15;

// The map scale pair reacts to every button: left 1, left with Ctrl 0.01,
// another button 0.1, another with Ctrl 0.001 pixels per unit.
float scaleStep(Qt::MouseButton button, bool ctrl);

struct ScaleAfterStep {
    float mapScale = 0; // twips per mile
    float display = 0;  // pixels per unit
};
// One step down or up from the shown value; MapScale stops at 3.0 going
// down and at 300.0 going up, and the shown value follows the limit.
ScaleAfterStep stepScale(float display, float unitFactor, float step, bool up);

// The delay pairs react to the left button only: 10 ms, with Ctrl 50 ms.
std::int32_t delayStep(bool ctrl);
std::int32_t steppedDelay(std::int32_t ms, std::int32_t step, bool up);

// One minute down or up, the sum rounded to whole minutes, within -15..15.
double steppedStampMinutes(double minutes, bool up);

} // namespace nubivista::options
