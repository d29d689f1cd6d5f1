// The window's layout rules as tables: the minimum size, the regions for a
// window size, the tab-row controls, the panel's hide and pan stops and the
// measurement box's width toggle.
#include "display/layout_rules.h"

#include <gtest/gtest.h>
#include <vector>

using namespace nubivista::display;

TEST(LayoutRules, AWindowSmallerThanTheMinimumSnapsBackToIt) {
    const std::pair<WindowSize, WindowSize> cases[] = {
        {{3000, 2000}, {9705, 5355}}, {{9690, 9000}, {9705, 9000}},   {{9900, 5340}, {9900, 5355}},
        {{9705, 5355}, {9705, 5355}}, {{12405, 9000}, {12405, 9000}},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(snapToMinimum(in), out) << in.width << " x " << in.height;
}

TEST(LayoutRules, TheRegionsFollowTheWindowAndTheAllowances) {
    // Panel shown, status bar shown: the display area ends 300 above the bottom.
    LayoutResult r = layoutControls({12000, 9000, 0, 0, 0, 0});
    EXPECT_EQ(r.picture1, (TwipsRect{0, 0, 12000, 690}));
    EXPECT_EQ(r.picture3, (TwipsRect{45, 690, 11910, 8010}));
    EXPECT_EQ(r.tabStrip1, (TwipsRect{0, 0, 11910, 8010}));
    EXPECT_EQ(r.picture4, (TwipsRect{90, 555, 11715, 7365}));

    // Panel and status bar hidden: 120 at the top, 30 at the bottom.
    r = layoutControls({12000, 9000, 0, 570, 270, 15});
    EXPECT_EQ(r.picture1.top, -570);
    EXPECT_EQ(r.picture3.top, 120);
    EXPECT_EQ(r.picture3.bottom(), 9000 - 30);
    EXPECT_EQ(r.tabStrip1.width, r.picture3.width + 15);
    EXPECT_EQ(r.tabStrip1.height, r.picture3.height + 15);
}

TEST(LayoutRules, ThePanelIsNeverNarrowerThan9615AndReachesTheRightEdge) {
    struct Case {
        double innerWidth, left, wantLeft, wantWidth;
    };
    const Case cases[] = {
        {6045, 0, 0, 9615},         // narrow window: the panel runs out of view
        {6045, -1815, -1815, 9615}, // a pan stop that still reaches the edge
        {6045, -4500, -3570, 9615}, // would end short: pulled back to the edge
        {9615, 0, 0, 9615},         {12000, 0, 0, 12000},
        {12000, -1815, 0, 12000}, // widened window: the gap closes
    };
    for (const Case& c : cases) {
        const LayoutResult r = layoutControls({c.innerWidth, 8000, c.left, 0, 0, 0});
        EXPECT_EQ(r.picture1.left, c.wantLeft) << c.innerWidth << " from " << c.left;
        EXPECT_EQ(r.picture1.width, c.wantWidth) << c.innerWidth;
    }
    // Command13 spans a hidden panel and is 7770 wide on a shown one.
    EXPECT_EQ(command13Width(true, 12000), 11970);
    EXPECT_EQ(command13Width(false, 12000), 7770);
}

TEST(LayoutRules, PanStopsDependOnTheInnerWidth) {
    struct Case {
        double innerWidth, left, next;
    };
    const Case cases[] = {
        {6045, 0, -1815},     {6045, -1000, -1815}, {6045, -1815, -4500}, {6045, -4500, 0},
        {7770, -1815, -4500}, {7785, -1815, 0},     {9615, 0, -1815},     {9615, -1815, 0},
        {9630, 0, 0},         {9630, -1815, 0},     {12000, -4500, 0},    {6045, -3570, -4500},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nextPanStop(c.left, c.innerWidth), c.next) << c.innerWidth << " " << c.left;
    EXPECT_EQ(pannedPanelWidth(-4500, 6045), 10545);
    EXPECT_EQ(pannedPanelWidth(-1815, 9615), 11430);
    EXPECT_EQ(pannedPanelWidth(0, 6045), 9615);
}

TEST(LayoutRules, Text1AlternatesBetweenWideAndNarrowWithItsRightEdgeFixed) {
    const Span wide{6990, 1860};
    EXPECT_EQ(toggleText1(wide), (Span{7815, 1035}));
    EXPECT_EQ(toggleText1(Span{7815, 1035}), wide);
    // A box found elsewhere goes back to the wide place.
    EXPECT_EQ(toggleText1(Span{7000, 1000}), (Span{6990, 1825}));
}

TEST(LayoutRules, TabRowControlsShowOnlyWhereThereIsRoom) {
    struct Case {
        double w;
        bool hideStampBox;
        bool steps, minutes, check1, text3, picture2;
    };
    const Case cases[] = {
        {9600, false, false, true, true, true, false},  // W - 1710 = 7890
        {9615, false, true, true, true, true, false},   // W - 1710 = 7905
        {9105, false, false, true, true, false, false}, // W - 1200 = 7905, Text3 7470
        {9090, false, false, false, true, false, false},
        {8580, false, false, false, true, false, false}, // Check1 at 7905
        {8565, false, false, false, false, false, false},
        {11925, false, true, true, true, true, false}, // Text3 at 10290
        {11940, false, true, true, true, true, true},  // Text3 at 10305
        {11940, true, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        const TabRowControls r = tabRowControls(c.w, c.hideStampBox);
        SCOPED_TRACE(c.w);
        EXPECT_EQ(r.command60.shown, c.steps);
        EXPECT_EQ(r.command61.shown, c.steps);
        EXPECT_EQ(r.command30.shown, c.minutes);
        EXPECT_EQ(r.command31.shown, c.minutes);
        EXPECT_EQ(r.check1.shown, c.check1);
        EXPECT_EQ(r.text3.shown, c.text3);
        EXPECT_EQ(r.picture2.shown, c.picture2);
    }
    const TabRowControls at9615 = tabRowControls(9615, false);
    EXPECT_EQ(at9615.command60.left, 7905);
    EXPECT_EQ(at9615.command61.left, 8130);
    EXPECT_EQ(at9615.command30.left, 8415);
    EXPECT_EQ(at9615.command31.left, 8640);
    EXPECT_EQ(at9615.check1.left, 8940);
    EXPECT_EQ(at9615.text3.left, 7980);
    EXPECT_EQ(tabRowControls(11940, false).picture2.left, 10305 - 2325);

    // The fitted window's narrowest width shows every control, 15 less does not.
    for (const bool hide : {false, true}) {
        const double area = fullTabRowInnerWidth(hide) - 90;
        const TabRowControls full = tabRowControls(area, hide);
        EXPECT_TRUE(full.command60.shown && full.command30.shown && full.check1.shown &&
                    full.text3.shown && full.picture2.shown != hide)
            << hide;
        const TabRowControls less = tabRowControls(area - 15, hide);
        EXPECT_FALSE(less.command60.shown && (hide || less.picture2.shown)) << hide;
    }
}

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

TEST(LayoutRules, AWiderPanelGivesTheMeasurementBoxUpTo3000MoreTwips) {
    EXPECT_EQ(panelStretch(8000), 0);
    EXPECT_EQ(panelStretch(10615), 1000);
    EXPECT_EQ(panelStretch(30000), 3000);
}
