// The loop's order and timing from the filled tabs and skip boxes, and the
// step buttons' search move, as tables.
#include "display/loop_sequence.h"

#include <array>
#include <gtest/gtest.h>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

using namespace nubivista::display;

namespace {

constexpr int d = 100;
constexpr int dF = 600;
constexpr int dL = 1100;

using Shown = std::vector<std::pair<int, int>>; // tab, interval

TabFlags flags(std::initializer_list<int> tabs) {
    TabFlags f{};
    for (int t : tabs)
        f[t] = true;
    return f;
}

// Ticks the loop over images in tabs 1..images from cursor.
Shown run(int images, TabFlags skipped, bool rock, int ticks, LoopDelays delays = {d, 500, 1000},
          LoopCursor cursor = {}) {
    LoopTabs tabs;
    for (int t = 1; t <= images; ++t)
        tabs.filled[t] = true;
    tabs.skipped = skipped;
    Shown shown;
    for (int i = 0; i < ticks; ++i) {
        const LoopStep step = loopTickStep(cursor, tabs, delays, rock);
        shown.emplace_back(step.tab, step.intervalMs);
        cursor = step.next;
    }
    return shown;
}

} // namespace

TEST(LoopSequence, ShowsEachTabForItsOwnTime) {
    struct Case {
        const char* what;
        int images;
        TabFlags skipped;
        bool rock;
        Shown expected;
    };
    const Case cases[] = {
        {"loop", 4, {}, false, {{1, dF}, {2, d}, {3, d}, {4, dL}, {1, dF}, {2, d}, {3, d}}},
        {"rock", 4, {}, true, {{1, dF}, {2, d}, {3, d}, {4, dL}, {3, d}, {2, d}, {1, dF}, {2, d}}},
        {"rock with two images", 2, {}, true, {{1, dF}, {2, dL}, {1, dF}, {2, dL}}},
        {"skipped first tabs", 5, flags({1, 2}), false, {{3, dF}, {4, d}, {5, dL}, {3, dF}}},
        {"rock, 1-2 skipped", 5, flags({1, 2}), true, {{3, dF}, {4, d}, {5, dL}, {4, d}, {3, dF}}},
        {"skipped middle and last", 5, flags({3, 5}), false, {{1, dF}, {2, d}, {4, dL}, {1, dF}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.images, c.skipped, c.rock, static_cast<int>(c.expected.size())), c.expected)
            << c.what;
}

TEST(LoopSequence, AdvanceSkipsCheckedBoxesAndWrapsToTabOne) {
    TabFlags all{};
    all.fill(true);
    // The last case: boxes checked below a backward run; the search turns
    // upward at tab 1 and settles on tab 3 again.
    const std::tuple<int, int, TabFlags, int> cases[] = {
        {0, 1, {}, 1},          {20, 1, {}, 1}, {1, -1, {}, 1},  {20, 1, flags({1, 2}), 3},
        {5, -1, flags({4}), 3}, {7, 1, all, 7}, {7, -1, all, 7}, {3, -1, flags({1, 2}), 3},
    };
    for (const auto& [position, direction, skipped, next] : cases)
        EXPECT_EQ(advanceLoopPosition(position, direction, skipped), next)
            << position << " " << direction;
    EXPECT_EQ(run(5, flags({1, 2}), true, 2, {d, 500, 1000}, LoopCursor{3, -1}),
              (Shown{{3, dF}, {4, d}}));
}

TEST(LoopSequence, RunNeedsTwoUnskippedImagesUpToTheHighestFilledSlot) {
    // Boxes above the highest slot do not count.
    const std::tuple<int, TabFlags, int, bool> cases[] = {
        {0, flags({}), 0, false},         {1, flags({}), 1, false}, {2, flags({}), 2, true},
        {3, flags({1, 2}), 1, false},     {3, flags({2}), 2, true}, {5, flags({6, 7}), 5, true},
        {20, flags({1, 2, 3}), 17, true},
    };
    for (const auto& [highest, skipped, count, canRun] : cases) {
        EXPECT_EQ(loopImageCount(highest, skipped), count) << highest;
        EXPECT_EQ(loopCanRun(highest, skipped), canRun) << highest;
    }
}

TEST(StepSearch, WrapsToTheButtonsTargetOutsideTheTabs) {
    EXPECT_EQ(stepWrapTarget(-1, true), 1);
    EXPECT_EQ(stepWrapTarget(+1, true), 20);
    EXPECT_EQ(stepWrapTarget(-1, false), 20);
    EXPECT_EQ(stepWrapTarget(+1, false), 1);
    const std::array<int, 4> cases[] = {
        {5, +1, 20, 6}, {5, -1, 1, 4},   {20, +1, 20, 20}, {20, +1, 1, 1},
        {1, -1, 1, 1},  {1, -1, 20, 20}, {19, +1, 1, 20},
    };
    for (const auto& [cur, direction, wrap, next] : cases)
        EXPECT_EQ(stepSearchMove(cur, direction, wrap), next) << cur << " " << direction;
}
