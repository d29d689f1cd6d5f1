// The loop's order and timing from the filled tabs and skip boxes, the delay
// buttons' step and the step buttons' search move, as tables.
#include "display/loop_sequence.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>
#include <vector>

using namespace nubivista::display;

namespace {

constexpr LoopDelays kDelays{100, 500, 1000};
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

LoopTabs filledUpTo(int last, std::initializer_list<int> skipped = {}) {
    LoopTabs tabs;
    for (int t = 1; t <= last; ++t)
        tabs.filled[t] = true;
    tabs.skipped = flags(skipped);
    return tabs;
}

Shown run(LoopCursor& cursor, const LoopTabs& tabs, bool rock, int ticks,
          LoopDelays delays = kDelays) {
    Shown shown;
    for (int i = 0; i < ticks; ++i) {
        const LoopStep step = loopTickStep(cursor, tabs, delays, rock);
        shown.emplace_back(step.tab, step.intervalMs);
        cursor = step.next;
    }
    return shown;
}

Shown runFromStart(const LoopTabs& tabs, bool rock, int ticks, LoopDelays delays = kDelays) {
    LoopCursor cursor;
    return run(cursor, tabs, rock, ticks, delays);
}

} // namespace

struct SequenceCase {
    const char* name;
    int images;
    std::vector<int> skipped;
    bool rock;
    Shown expected;
};

class LoopSequenceTable : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(LoopSequenceTable, ShowsEachTabForItsOwnTime) {
    const SequenceCase& c = GetParam();
    LoopTabs tabs = filledUpTo(c.images);
    for (int t : c.skipped)
        tabs.skipped[t] = true;
    EXPECT_EQ(runFromStart(tabs, c.rock, static_cast<int>(c.expected.size())), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LoopSequenceTable,
    ::testing::Values(
        SequenceCase{"LoopFourImages",
                     4,
                     {},
                     false,
                     {{1, dF}, {2, d}, {3, d}, {4, dL}, {1, dF}, {2, d}, {3, d}, {4, dL}}},
        SequenceCase{"RockFourImages",
                     4,
                     {},
                     true,
                     {{1, dF}, {2, d}, {3, d}, {4, dL}, {3, d}, {2, d}, {1, dF}, {2, d}, {3, d}}},
        SequenceCase{"RockThreeImagesEndsOncePerVisit",
                     3,
                     {},
                     true,
                     {{1, dF}, {2, d}, {3, dL}, {2, d}, {1, dF}, {2, d}, {3, dL}}},
        SequenceCase{"SkippedFirstTabsStartTheRunLater",
                     5,
                     {1, 2},
                     false,
                     {{3, dF}, {4, d}, {5, dL}, {3, dF}}},
        SequenceCase{"RockTurnsAtTheLowestUnskippedImage",
                     5,
                     {1, 2},
                     true,
                     {{3, dF}, {4, d}, {5, dL}, {4, d}, {3, dF}, {4, d}}},
        SequenceCase{
            "SkippedMiddleAndLastTabs", 5, {3, 5}, false, {{1, dF}, {2, d}, {4, dL}, {1, dF}}},
        SequenceCase{"TwoImagesInRock", 2, {}, true, {{1, dF}, {2, dL}, {1, dF}, {2, dL}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoopSequence, IntervalsNeverExceedSixtySeconds) {
    const LoopTabs tabs = filledUpTo(2);
    EXPECT_EQ(runFromStart(tabs, false, 2, {5000, 0, 60000}), (Shown{{1, 5000}, {2, 60000}}));
    EXPECT_EQ(runFromStart(tabs, false, 2, {5000, 58000, 0}), (Shown{{1, 60000}, {2, 5000}}));
    EXPECT_EQ(runFromStart(tabs, false, 1, {2'000'000'000, 2'000'000'000, 0}), (Shown{{1, 60000}}));
}

TEST(LoopSequence, IntervalIsNeverBelowOneMillisecond) {
    EXPECT_EQ(loopInterval(-500, 0), 1);
    EXPECT_EQ(loopInterval(0, 0), 1);
    EXPECT_EQ(loopInterval(10, -20), 1);
    EXPECT_EQ(loopInterval(10, 0), 10);
}

TEST(LoopSequence, AdvanceWrapsToTabOneAtEitherEnd) {
    const TabFlags none{};
    EXPECT_EQ(advanceLoopPosition(0, 1, none), 1);
    EXPECT_EQ(advanceLoopPosition(20, 1, none), 1);
    EXPECT_EQ(advanceLoopPosition(1, -1, none), 1);
    EXPECT_EQ(advanceLoopPosition(20, 1, flags({1, 2})), 3);
    EXPECT_EQ(advanceLoopPosition(5, -1, flags({4})), 3);
}

TEST(LoopSequence, BoxesCheckedBelowABackwardRunDoNotTrapTheAdvance) {
    // Going down from 3 with 1 and 2 checked meanwhile: the search turns
    // upward at tab 1 and settles on tab 3 again.
    EXPECT_EQ(advanceLoopPosition(3, -1, flags({1, 2})), 3);
    LoopCursor cursor{3, -1};
    LoopTabs tabs = filledUpTo(5, {1, 2});
    EXPECT_EQ(run(cursor, tabs, true, 2), (Shown{{3, dF}, {4, d}}));
}

TEST(LoopSequence, AdvanceWithEveryBoxCheckedStaysPut) {
    TabFlags all{};
    all.fill(true);
    EXPECT_EQ(advanceLoopPosition(7, 1, all), 7);
    EXPECT_EQ(advanceLoopPosition(7, -1, all), 7);
}

TEST(LoopSequence, RunNeedsTwoUnskippedImagesUpToTheHighestFilledSlot) {
    struct Case {
        int highest;
        TabFlags skipped;
        int count;
        bool canRun;
    };
    const std::vector<Case> cases = {
        {0, {}, 0, false},
        {1, {}, 1, false},
        {2, {}, 2, true},
        {3, flags({1, 2}), 1, false},
        {3, flags({2}), 2, true},
        {5, flags({6, 7}), 5, true}, // boxes above the highest slot do not count
        {20, flags({1, 2, 3}), 17, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loopImageCount(c.highest, c.skipped), c.count) << c.highest;
        EXPECT_EQ(loopCanRun(c.highest, c.skipped), c.canRun) << c.highest;
    }
}

TEST(LoopDelayStep, TenMillisecondsOrFiftyWithCtrlAloneWithinTenToFiveThousand) {
    struct Case {
        int delay, direction, shiftState, result;
    };
    const std::vector<Case> cases = {
        {1000, -1, 0, 990},  {1000, +1, 0, 1010}, {1000, -1, 2, 950},  {1000, +1, 2, 1050},
        {1000, -1, 3, 990},  {1000, -1, 6, 990},  {1000, -1, 1, 990},  {15, -1, 0, 10},
        {10, -1, 2, 10},     {50, -1, 2, 10},     {60, -1, 2, 10},     {4995, +1, 0, 5000},
        {4990, +1, 2, 5000}, {5000, +1, 0, 5000}, {8000, -1, 0, 7990}, {8000, +1, 0, 5000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(steppedLoopDelay(c.delay, c.direction, c.shiftState), c.result)
            << c.delay << " " << c.direction << " " << c.shiftState;
}

TEST(StepSearch, WrapTargetByButtonAndDirection) {
    EXPECT_EQ(stepWrapTarget(-1, true), 1);
    EXPECT_EQ(stepWrapTarget(+1, true), 20);
    EXPECT_EQ(stepWrapTarget(-1, false), 20);
    EXPECT_EQ(stepWrapTarget(+1, false), 1);
}

TEST(StepSearch, MovesByOneAndWrapsOutsideTheTabs) {
    struct Case {
        int cur, direction, wrap, next;
    };
    const std::vector<Case> cases = {
        {5, +1, 20, 6}, {5, -1, 1, 4},   {20, +1, 20, 20}, {20, +1, 1, 1},
        {1, -1, 1, 1},  {1, -1, 20, 20}, {19, +1, 1, 20},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stepSearchMove(c.cur, c.direction, c.wrap), c.next)
            << c.cur << " " << c.direction;
}
