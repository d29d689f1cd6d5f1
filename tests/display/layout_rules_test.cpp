// The layout's invariants: the tabs and their skip boxes fit, and the
// panel's controls stay inside the narrowest panel without overlapping.
#include "display/layout_rules.h"

#include <gtest/gtest.h>
#include <vector>

using namespace nubivista::display;

TEST(LayoutRules, TheTwentyTabsAndTheirSkipBoxesFitAnyAreaLeftOfTheTabRowControls) {
    for (const double w : {5955.0, 8000.0, 9615.0, 15000.0}) {
        SCOPED_TRACE(w);
        EXPECT_LE(tabRect(20, w).right(), w);
        EXPECT_LT(tabRect(20, w).right(), kTabRowMinLeft);
        for (int t = 1; t <= 20; ++t) {
            const TwipsRect tab = tabRect(t, w);
            const TwipsRect box = skipBoxRect(t, w);
            EXPECT_TRUE(box.left >= tab.left && box.right() <= tab.right()) << t;
            EXPECT_TRUE(box.top >= tab.bottom() && box.bottom() <= kPicture4Top) << t;
            // Whole pixels, so that the boxes do not drift against the tabs.
            EXPECT_EQ(static_cast<int>(tab.left) % 15 + static_cast<int>(box.left) % 15, 0) << t;
        }
    }
}

TEST(LayoutRules, PanelControlsStayInsideTheNarrowestPanelAndDoNotOverlap) {
    const TwipsRect strip = panelPlace("Command13");
    // The strip is what stays in view of a panel pushed up by 570.
    EXPECT_EQ(strip.top, -kPanelHiddenTop);
    EXPECT_EQ(strip.bottom(), kPanelHeight);
    EXPECT_TRUE(strip.left >= 0 && strip.right() <= kMinPanelWidth);
    EXPECT_EQ(panelPlace("Text1").left, kText1WideLeft);

    const char* const direct[] = {"FrameLoop", "FrameRefresh", "FrameZoom", "Check2",  "Check3",
                                  "Combo1",    "Text1",        "Command3",  "Command1"};
    for (const char* a : direct) {
        const TwipsRect ra = panelPlace(a);
        EXPECT_TRUE(ra.width > 0 && ra.left >= 0 && ra.right() <= kMinPanelWidth) << a;
        // Above the strip, so that hiding the panel leaves only Command13 in view.
        EXPECT_LE(ra.bottom(), strip.top) << a;
        for (const char* b : direct) {
            const TwipsRect rb = panelPlace(b);
            const bool apart = ra.right() <= rb.left || rb.right() <= ra.left ||
                               ra.bottom() <= rb.top || rb.bottom() <= ra.top;
            EXPECT_TRUE(a == b || apart) << a << " overlaps " << b;
        }
    }
    // Each frame's contents run left to right inside it.
    const std::pair<const char*, std::vector<const char*>> frames[] = {
        {"FrameLoop", {"Command18", "Command19", "Command40", "Text11", "Command41"}},
        {"FrameRefresh", {"Command7", "Command9", "Command20", "Text4", "Command21", "Text2"}},
        {"FrameZoom", {"Command50", "Text12", "Command51", "Check5"}},
    };
    for (const auto& [frameName, inside] : frames) {
        const TwipsRect frame = panelPlace(frameName);
        double right = 0;
        for (const char* name : inside) {
            const TwipsRect r = panelPlace(name);
            EXPECT_TRUE(r.left >= right && r.right() <= frame.width && r.bottom() <= frame.height)
                << name;
            right = r.right();
        }
    }
}
