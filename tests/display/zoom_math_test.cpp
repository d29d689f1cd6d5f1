// Zoom steps, the zoom text, the scroll allowances, keeping the view's centre
// and the fit-to-window size, without widgets.
#include "display/layout_rules.h"
#include "display/zoom_math.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

using namespace nubivista::display;

namespace {

constexpr auto L = ZoomDirection::Larger;
constexpr auto S = ZoomDirection::Smaller;
constexpr int kCtrl = 2;

} // namespace

TEST(ZoomMathTest, ZoomStepsFollowTheFineCtrlAndLimitRules) {
    struct Case {
        float start;
        ZoomDirection direction;
        int shiftState, steps;
        float expected;
        const char* text; // nullptr: not a shown factor
    };
    // Fine steps are 0.1 below 3 and 0.2 from 3 on, sized by the factor before
    // the step; Shift, or Ctrl with Shift, is a fine step; Ctrl alone steps by
    // 1, and Ctrl Smaller below 2 gives 1; the factor stays within 0.6 to 5.
    const Case cases[] = {
        {1.0f, L, 0, 11, 2.1f, "2.1"},    {2.9f, L, 0, 1, 3.0f, "3"},
        {3.0f, L, 0, 1, 3.2f, "3.2"},     {2.95f, L, 0, 1, 3.05f, nullptr},
        {3.0f, S, 0, 1, 2.8f, "2.8"},     {2.9f, S, 0, 1, 2.8f, "2.8"},
        {0.7f, S, 0, 2, 0.6f, "0.6"},     {4.9f, L, 0, 2, 5.0f, "5"},
        {1.0f, L, 1, 1, 1.1f, "1.1"},     {1.0f, S, kCtrl | 1, 1, 0.9f, "0.9"},
        {1.0f, L, kCtrl, 1, 2.0f, "2"},   {4.5f, L, kCtrl, 1, 5.0f, "5"},
        {3.5f, S, kCtrl, 1, 2.5f, "2.5"}, {1.9f, S, kCtrl, 1, 1.0f, "1"},
        {0.6f, S, kCtrl, 1, 1.0f, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << (c.direction == L ? " larger" : " smaller")
                                        << " keys " << c.shiftState << " x" << c.steps);
        float factor = c.start;
        for (int i = 0; i < c.steps; ++i)
            factor = nextZoomFactor(factor, c.direction, c.shiftState);
        EXPECT_NEAR(factor, c.expected, 1e-5);
        if (c.text) {
            EXPECT_EQ(zoomFactorText(factor), QString::fromLatin1(c.text));
        }
    }
}

TEST(ZoomMathTest, AllowanceNeedsAPictureMoreThanAPixelLargerThanTheView) {
    // The view is 9000 x 6000 twips; 9015 is within a pixel and fits.
    // picture width and height, then the expected allowance
    const std::array<double, 6> cases[] = {
        {9000, 6000, 0, 0, 0, 0},
        {9015, 6015, 0, 0, 0, 0},
        {9030, 6000, 240, 0, 270, 0},
        {9000, 6030, 0, 240, 0, 270},
        {12000, 9000, 240, 240, 3240, 3240},
        {4500, 3000, 0, 0, 0, 0},
    };
    for (const auto& [width, height, h, v, hOver, vOver] : cases) {
        const ScrollAllowance a = scrollAllowance(width, height, 9000, 6000);
        EXPECT_EQ(std::tie(a.horizontal, a.vertical, a.hOverflow, a.vOverflow),
                  std::tie(h, v, hOver, vOver))
            << width << " x " << height;
    }
}

TEST(ZoomMathTest, ZoomingAScrolledPictureKeepsTheViewCentreOnTheSamePoint) {
    // View 9000 with its bar: 8760 twips of picture visible, centre at 4380.
    // oldSize, oldEdge, newSize, farHalf
    const std::tuple<double, double, double, bool> cases[] = {
        {18000, -4620, 19800, false}, // centre in the middle, larger
        {18000, -1500, 21600, false}, // left of the middle, larger
        {18000, -9000, 19800, true},  // right of the middle, larger
        {19800, -9000, 18000, true},  // right of the middle, smaller
    };
    const double visible = 9000 - kScrollBarAllowance;
    for (const auto& [oldSize, oldEdge, newSize, farHalf] : cases) {
        SCOPED_TRACE(testing::Message() << oldSize << " " << oldEdge << " " << newSize);
        const CentredOffset r = centredOffset(9000, kScrollBarAllowance, oldSize, oldEdge, newSize);
        const double shareBefore = (-oldEdge + visible / 2) / oldSize;
        EXPECT_NEAR(r.offset + visible / 2, shareBefore * newSize, kTwipsPerPixel / 2);
        EXPECT_EQ(std::fmod(r.offset, kTwipsPerPixel), 0) << "whole pixels";
        EXPECT_EQ(r.farHalf, farHalf);
    }
    // Not scrolled, new size fits, old size fitted, or a pixel or less: no offset.
    const std::tuple<double, double, double> none[] = {
        {18000, 0, 19800}, {18000, -4620, 8700}, {8700, -15, 9600}, {9300, -30, 9270}};
    for (const auto& [oldSize, oldEdge, newSize] : none)
        EXPECT_EQ(centredOffset(9000, kScrollBarAllowance, oldSize, oldEdge, newSize).offset, 0)
            << oldSize << " " << oldEdge << " " << newSize;
}

TEST(ZoomMathTest, AtTheFittedSizeTheLayoutsViewHoldsThePictureExactly) {
    // width, height, panel allowance, status bar allowance
    const std::array<double, 4> cases[] = {
        {9900, 9075, 0, 0},
        {9000, 8250, kPanelAllowance, kStatusBarAllowance},
        {9000, 8250, 0, kStatusBarAllowance},
        {45000, 41250, 0, 0},
    };
    for (const auto& [width, height, panel, statusBar] : cases) {
        const TwipsSize inner = fittedInnerSize(width, height, panel, statusBar);
        LayoutInput in;
        in.innerWidth = inner.width;
        in.innerHeight = inner.height;
        in.panelAllowance = panel;
        in.statusBarAllowance = statusBar;
        const TwipsRect view = layoutControls(in).picture4;
        EXPECT_EQ(view.width, width) << width << " " << panel << " " << statusBar;
        EXPECT_EQ(view.height, height) << width << " " << panel << " " << statusBar;
    }
    // Hiding the panel and the status bar gives the view their room.
    EXPECT_EQ(fittedInnerSize(9000, 8250, 0, 0).height -
                  fittedInnerSize(9000, 8250, kPanelAllowance, kStatusBarAllowance).height,
              kPanelAllowance + kStatusBarAllowance);
}
