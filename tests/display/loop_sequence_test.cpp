// The loop's order and timing from the filled tabs and skip boxes, as a table.
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
