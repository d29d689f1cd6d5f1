#pragma once
// The main window's layout rules without widgets: window size and flags in,
// twip rectangles out.
#include "display/twips.h"

#include <vector>

namespace nubivista::display {

inline constexpr double kPanelAllowance = 570;
inline constexpr double kStatusBarAllowance = 270;
// The status bar's own height; the display area ends this far above the
// window's bottom (30 twips when the bar is hidden).
inline constexpr double kStatusBarHeight = 300;

// The narrowest window keeps every control of the panel readable and the
// tab row's step, minute and auto-click buttons and time text in view.
inline constexpr double kMinWindowWidth = 9705;
inline constexpr double kMinWindowHeight = 5355;
inline constexpr double kMinPanelWidth = 9615;
inline constexpr double kPanelHeight = 690;
inline constexpr double kPanelHiddenTop = -570;
inline constexpr double kCommand13ShownWidth = 7770;

inline constexpr double kText1WideLeft = 6990;
inline constexpr double kText1NarrowLeft = 7815;
inline constexpr double kText1WidthStep = 825;

// Tab-row controls are shown only from this left edge on, right of the tabs.
inline constexpr double kTabRowMinLeft = 7905;
inline constexpr double kStampPanelMinText3Left = 10305;

struct WindowSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// The resize rule: a window smaller than the minimum is set back to it.
WindowSize snapToMinimum(WindowSize window);

struct LayoutInput {
    double innerWidth = 0;  // SW: the client area plus a shown status bar
    double innerHeight = 0; // SH
    double panelLeft = 0;   // Picture1's present left edge
    double panelAllowance = 0;
    double statusBarAllowance = 0;
    double themePad = 0;
};

struct LayoutResult {
    TwipsRect picture1;
    TwipsRect picture3;
    TwipsRect tabStrip1;
    TwipsRect picture4;
};

LayoutResult layoutControls(const LayoutInput& in);

// The panel's width for an inner width: the window's, but at least the
// minimum, so that a narrow window shows part of it.
double panelWidth(double innerWidth);
// Its left edge stays unless the panel would then end left of the window's
// right edge.
double panelLeft(double currentLeft, double panelWidth, double innerWidth);

// Command13's right button: the next stop of the panel's left edge.
double nextPanStop(double currentLeft, double innerWidth);
// After a pan the panel reaches at least to the window's right edge.
double pannedPanelWidth(double left, double innerWidth);

double command13Width(bool panelHidden, double panelWidth);

struct Span {
    double left = 0;
    double width = 0;
    friend bool operator==(const Span&, const Span&) = default;
};
// Text1's right button: the box alternates between wide and narrow, its
// right edge fixed.
Span toggleText1(Span text1);

struct TabRowPlace {
    double left = 0;
    bool shown = false;
    friend bool operator==(const TabRowPlace&, const TabRowPlace&) = default;
};

struct TabRowControls {
    TabRowPlace command60, command61, command30, command31, check1, text3, picture2;
};

// The controls at the right end of the tab row for a display area w wide.
TabRowControls tabRowControls(double w, bool hideStampBox);

// The narrowest inner width whose tab row shows all its controls: the
// stamp panel too, unless it is hidden.
double fullTabRowInnerWidth(bool hideStampBox);

// Status bar panel 1 and the progress bar after it.
double statusPanel1Width(double innerWidth);
double progressBarLeft(double innerWidth);

// ---- the fixed places inside the panel and the display area ----

struct ControlPlace {
    const char* name;
    TwipsRect rect; // relative to its container (Picture1 or its frame)
};

// Every control of the controls panel: the frames and the other controls
// relative to Picture1, the frames' controls relative to their frame.
const std::vector<ControlPlace>& panelPlaces();
// How much wider than at the narrowest the measurement box and the product
// list grow in a wider panel (the two buttons right of them move along), so
// that a long measurement text can be read: up to 3000 twips.
double panelStretch(double panelWidth);

TwipsRect panelPlace(const char* name);

// Tab t (1..20) and the skip box under it, in a display area w wide: the
// tabs narrow so that all 20 fit a narrow window.
double tabWidth(double w);
TwipsRect tabRect(int tab, double w);
TwipsRect skipBoxRect(int tab, double w);

// The tab bar reads its tabs' width (pixels) from this property.
inline constexpr char kTabWidthProperty[] = "tabWidthPx";
inline constexpr double kPicture3Left = 45;
inline constexpr double kTabRowHeight = 300;
inline constexpr double kPicture4Left = 90;
inline constexpr double kPicture4Top = 555;
// The tab-row controls' rows: buttons beside the tabs, text and stamp
// panel beside the skip boxes.
inline constexpr double kTabButtonTop = 30;
inline constexpr double kTabButtonHeight = 270;
inline constexpr double kTabButtonWidth = 225;
inline constexpr double kCheck1Width = 600;
inline constexpr double kText3Top = 330;
inline constexpr double kText3Height = 195;
inline constexpr double kText3Width = 1620;
inline constexpr double kPicture2Top = 315;
inline constexpr double kStampBoxWidth = 2220;
inline constexpr double kStampBoxHeight = 225;
inline constexpr double kPicture2Width = kStampBoxWidth + 30;

} // namespace nubivista::display
