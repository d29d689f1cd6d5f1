// Zoom steps, the zoom text, the scroll allowances, keeping the view's centre
// and the fit-to-window size, without widgets.
#include "display/layout_rules.h"
#include "display/zoom_math.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista::display;

namespace {

constexpr int kNoKeys = 0;
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kCtrlShift = 3;

struct StepCase {
    const char* what;
    float start;
    ZoomDirection direction;
    int shiftState;
    int steps;
    float expected;
    const char* text;
};

} // namespace

TEST(ZoomMathTest, ZoomStepsFollowTheFineCtrlAndLimitRules) {
    const auto L = ZoomDirection::Larger;
    const auto S = ZoomDirection::Smaller;
    const StepCase cases[] = {
        {"eleven fine steps from 1", 1.0f, L, kNoKeys, 11, 2.1f, "2.1"},
        {"fine larger below 3 is 0.1", 2.9f, L, kNoKeys, 1, 3.0f, "3"},
        {"fine larger from 3 is 0.2", 3.0f, L, kNoKeys, 1, 3.2f, "3.2"},
        {"step size from the factor before", 2.95f, L, kNoKeys, 1, 3.05f, nullptr},
        {"fine smaller from 3 is 0.2", 3.0f, S, kNoKeys, 1, 2.8f, "2.8"},
        {"fine smaller below 3 is 0.1", 2.9f, S, kNoKeys, 1, 2.8f, "2.8"},
        {"fine smaller stops at 0.6", 0.7f, S, kNoKeys, 2, 0.6f, "0.6"},
        {"fine larger stops at 5", 4.9f, L, kNoKeys, 2, 5.0f, "5"},
        {"Shift alone is a fine step", 1.0f, L, kShift, 1, 1.1f, "1.1"},
        {"Ctrl with Shift is a fine step", 1.0f, S, kCtrlShift, 1, 0.9f, "0.9"},
        {"Ctrl larger", 1.0f, L, kCtrl, 1, 2.0f, "2"},
        {"Ctrl larger stops at 5", 4.5f, L, kCtrl, 1, 5.0f, "5"},
        {"Ctrl smaller", 3.5f, S, kCtrl, 1, 2.5f, "2.5"},
        {"Ctrl smaller from 0.8 gives 1", 0.8f, S, kCtrl, 1, 1.0f, "1"},
        {"Ctrl smaller from 1.9 gives 1", 1.9f, S, kCtrl, 1, 1.0f, "1"},
        {"Ctrl smaller from 0.6 gives 1", 0.6f, S, kCtrl, 1, 1.0f, "1"},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.what);
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
    struct Case {
        double pictureWidth, pictureHeight;
        ScrollAllowance expected;
    };
    // The view is 9000 x 6000 twips.
    const Case cases[] = {
        {9000, 6000, {0, 0, 0, 0}},
        {9015, 6015, {0, 0, 0, 0}}, // within a pixel: fits, nothing to scroll
        {9030, 6000, {240, 0, 270, 0}},
        {9000, 6030, {0, 240, 0, 270}},
        {12000, 9000, {240, 240, 3240, 3240}},
        {4500, 3000, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureWidth << " x " << c.pictureHeight);
        const ScrollAllowance a = scrollAllowance(c.pictureWidth, c.pictureHeight, 9000, 6000);
        EXPECT_EQ(a.horizontal, c.expected.horizontal);
        EXPECT_EQ(a.vertical, c.expected.vertical);
        EXPECT_EQ(a.hOverflow, c.expected.hOverflow);
        EXPECT_EQ(a.vOverflow, c.expected.vOverflow);
    }
}

TEST(ZoomMathTest, ZoomingAScrolledPictureKeepsTheViewCentreOnTheSamePoint) {
    struct Case {
        const char* what;
        double oldSize, oldEdge, newSize;
        bool farHalf;
    };
    // View 9000 with its bar: 8760 twips of picture visible, centre at 4380.
    const Case cases[] = {
        {"centre in the middle, larger", 18000, -4620, 19800, false},
        {"centre left of the middle, larger", 18000, -1500, 21600, false},
        {"centre right of the middle, larger", 18000, -9000, 19800, true},
        {"centre right of the middle, smaller", 19800, -9000, 18000, true},
    };
    const double visible = 9000 - kScrollBarAllowance;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CentredOffset r =
            centredOffset(9000, kScrollBarAllowance, c.oldSize, c.oldEdge, c.newSize);
        const double shareBefore = (-c.oldEdge + visible / 2) / c.oldSize;
        const double shareAfter = (r.offset + visible / 2) / c.newSize;
        EXPECT_NEAR(shareAfter * c.newSize, shareBefore * c.newSize, kTwipsPerPixel / 2);
        EXPECT_EQ(std::fmod(r.offset, kTwipsPerPixel), 0) << "whole pixels";
        EXPECT_EQ(r.farHalf, c.farHalf);
    }
}

TEST(ZoomMathTest, UnscrolledOrFittingPicturesGetNoOffset) {
    struct Case {
        const char* what;
        double oldSize, oldEdge, newSize;
    };
    const Case cases[] = {
        {"not scrolled", 18000, 0, 19800},
        {"new size fits the view", 18000, -4620, 8700},
        {"old picture fitted the view", 8700, -15, 9600},
        {"offset of a pixel or less", 9300, -30, 9270},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(centredOffset(9000, kScrollBarAllowance, c.oldSize, c.oldEdge, c.newSize).offset,
                  0);
    }
}

TEST(ZoomMathTest, BarValueAfterZoomStaysInTheBarsRange) {
    // Offset 368 pixels; old picture 1200 pixels.
    const CentredOffset nearHalf{5520, false};
    const CentredOffset farHalf{5520, true};
    EXPECT_EQ(barValueAfterZoom(nearHalf, 500, 18000), 368);
    EXPECT_EQ(barValueAfterZoom(farHalf, 500, 18000), 368);
    EXPECT_EQ(barValueAfterZoom(nearHalf, 300, 18000), 0);
    // The far-half value (maximum less the old size) lies below the range.
    EXPECT_EQ(barValueAfterZoom(farHalf, 300, 18000), std::nullopt);
    // Past the end with the centre in the far half: the maximum less the old size.
    EXPECT_EQ(barValueAfterZoom(CentredOffset{21000, true}, 1300, 18000), 100);
}

TEST(ZoomMathTest, BarsSitInsideTheViewOnlyWhereTheyHaveAnAllowance) {
    const ScrollBarPlacement both =
        scrollBarPlacement(9000, 6000, scrollAllowance(12000, 9000, 9000, 6000));
    EXPECT_EQ(both.vertical, (TwipsRect{8760, 0, 240, 5745}));
    EXPECT_EQ(both.horizontal, (TwipsRect{0, 5760, 8745, 240}));
    EXPECT_EQ(both.corner, (TwipsRect{8760, 5760, 240, 240}));

    const ScrollBarPlacement none = scrollBarPlacement(9000, 6000, ScrollAllowance{});
    EXPECT_GE(none.vertical.left, 9000);
    EXPECT_GE(none.horizontal.top, 6000);
}

TEST(ZoomMathTest, AtTheFittedSizeTheLayoutsViewHoldsThePictureExactly) {
    struct Case {
        double width, height, panelAllowance, statusBarAllowance;
    };
    const Case cases[] = {
        {9000, 8250, 0, 0},
        {9900, 9075, 0, 0},
        {9000, 8250, kPanelAllowance, kStatusBarAllowance},
        {9000, 8250, 0, kStatusBarAllowance},
        {45000, 41250, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " allowances "
                                        << c.panelAllowance << ", " << c.statusBarAllowance);
        const TwipsSize inner =
            fittedInnerSize(c.width, c.height, c.panelAllowance, c.statusBarAllowance);
        LayoutInput in;
        in.innerWidth = inner.width;
        in.innerHeight = inner.height;
        in.panelAllowance = c.panelAllowance;
        in.statusBarAllowance = c.statusBarAllowance;
        const TwipsRect view = layoutControls(in).picture4;
        EXPECT_EQ(view.width, c.width);
        EXPECT_EQ(view.height, c.height);
    }
    // Hiding the panel and the status bar gives the view their room.
    EXPECT_EQ(fittedInnerSize(9000, 8250, 0, 0).height -
                  fittedInnerSize(9000, 8250, kPanelAllowance, kStatusBarAllowance).height,
              kPanelAllowance + kStatusBarAllowance);
}

TEST(ZoomMathTest, ClampLeavesRoomForTheFrameInTheWorkArea) {
    EXPECT_EQ(clampToWorkArea({1000, 900}, {10, 30}, {1024, 768}), QSize(1000, 738));
    EXPECT_EQ(clampToWorkArea({1100, 500}, {10, 30}, {1024, 768}), QSize(1014, 500));
    EXPECT_EQ(clampToWorkArea({600, 500}, {0, 0}, {1024, 768}), QSize(600, 500));
}
