#pragma once
// Zoom and scroll arithmetic without widgets, in twips.
#include "display/twips.h"

#include <QSize>
#include <QString>
#include <optional>

namespace nubivista::display {

inline constexpr float kZoomMin = 0.6f;
inline constexpr float kZoomMax = 5.0f;
// The bars' thickness, taken from the view when a bar is needed.
inline constexpr double kScrollBarAllowance = 240;
// A picture this much larger than the view still counts as fitting.
inline constexpr double kFitSlack = 15;

struct ScrollAllowance {
    double horizontal = 0; // 240 when the picture is wider than the view
    double vertical = 0;   // 240 when the picture is taller than the view
    double hOverflow = 0;  // how much of the picture's width lies outside the view
    double vOverflow = 0;
};

enum class ZoomDirection { Smaller, Larger };

// One step of a zoom button from factor. shiftState is the old key state
// (1 Shift, 2 Ctrl, 4 Alt); Ctrl alone steps by a whole 1.0.
float nextZoomFactor(float factor, ZoomDirection direction, int shiftState);

// The factor as Text12 shows it: rounded to one decimal, no blanks ("1", "2.1").
QString zoomFactorText(float factor);

// Allowances and overflows of a picture of the given size in a view of the
// given inner size.
ScrollAllowance scrollAllowance(double pictureWidth, double pictureHeight, double viewWidth,
                                double viewHeight);

// The new scroll offset along one axis that keeps the point at the centre of
// the view where it was, when the picture grows or shrinks from oldSize to
// newSize. oldEdge is the picture's left (or top) edge, <= 0 when scrolled;
// allowance is the axis' allowance before the step.
struct CentredOffset {
    double offset = 0;    // twips, whole pixels, 0 when not scrolled
    bool farHalf = false; // the centre lay in the right (bottom) half
};
CentredOffset centredOffset(double viewSize, double allowance, double oldSize, double oldEdge,
                            double newSize);

// The bar value (pixels) a zoom step moves a bar to, or none when the value
// it works out lies outside the bar's range 0..barMax.
std::optional<int> barValueAfterZoom(const CentredOffset& offset, int barMax, double oldSize);

// Where VScroll1, HScroll1 and the corner box Picture5 sit inside the view.
// A bar whose allowance is 0 lies just outside the visible view.
struct ScrollBarPlacement {
    TwipsRect vertical;
    TwipsRect horizontal;
    TwipsRect corner;
};
ScrollBarPlacement scrollBarPlacement(double viewWidth, double viewHeight,
                                      const ScrollAllowance& allowance);

// The window's inner size (status bar included) at which the layout's picture
// view exactly holds a picture of the given size.
struct TwipsSize {
    double width = 0;
    double height = 0;
};
TwipsSize fittedInnerSize(double pictureWidth, double pictureHeight, double panelAllowance,
                          double statusBarAllowance);

// The fitted inner size (pixels), clamped to the room there is: the work
// area less the window's frame. A side that is clamped
// gets its scroll bar, which lies over the picture along the other side, so
// that other side grows by the bar's size (as far as the room allows) and
// the picture's last row and column can still be scrolled into view.
QSize fitWithBars(QSize inner, QSize room, int barPx);

} // namespace nubivista::display
