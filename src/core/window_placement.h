#pragma once
// Window placement in twips: the rule that decides what the main window's
// stored placement becomes at close, the default placement from the desktop
// work area, and the conversions between twips and pixels at the widget edge.
#include <QRect>

namespace nubivista::core {

inline constexpr int kTwipsPerPixel = 15;

// The smallest normal window whose placement is worth keeping at close.
inline constexpr float kMinStoredWidthTwips = 6045;
inline constexpr float kMinStoredHeightTwips = 5355;

struct WindowPlacement {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

enum class WindowShowState { Normal, Minimized, Maximized };

// What to store at close: the window's current placement when it is in its
// normal state and at least 6045 x 5355 twips, else the placement read at start.
WindowPlacement placementAtClose(const WindowPlacement& stored, const WindowPlacement& current,
                                 WindowShowState state);

// The default placement in a work area (all in twips): centred across, at most
// 12405 wide, 900 below the work area's top, 1800 shorter than the work area.
// A work area too small for the margins gives the whole work area instead.
WindowPlacement defaultPlacement(const WindowPlacement& workArea);

// True when the stored placement cannot place a window: all four fields zero
// (a fresh settings file), or a size that is not a positive finite number.
bool needsDefaultPlacement(const WindowPlacement& stored);

// The placement to show the main window with at start.
WindowPlacement placementAtStart(const WindowPlacement& stored, const WindowPlacement& workArea);

int twipsToPixels(double twips);
float pixelsToTwips(int pixels);
QRect placementToPixels(const WindowPlacement& placement);
WindowPlacement placementFromPixels(const QRect& rect);

} // namespace nubivista::core
