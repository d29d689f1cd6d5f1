// Zoom steps, the zoom text and the scroll allowances, without widgets.
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
