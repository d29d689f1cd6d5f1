// The scroll allowances of a zoomed picture, without widgets.
#include "display/zoom_math.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>

using namespace nubivista::display;

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
