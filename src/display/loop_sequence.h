#pragma once
// Loop sequencing without widgets: which tab the loop shows next and for how
// long, from the slots' filled flags and the skip boxes; the loop delay
// buttons' step; and the step buttons' search move.
#include <array>
#include <vector>

namespace nubivista::display {

inline constexpr int kLoopTabs = 20;
inline constexpr int kMaxLoopIntervalMs = 60000;
inline constexpr int kMinLoopDelayMs = 10;
inline constexpr int kMaxLoopDelayMs = 5000;
inline constexpr int kLoopDelayStepMs = 10;
inline constexpr int kLoopDelayCtrlStepMs = 50;

// One flag per tab, indexed 1..20; element 0 is unused.
using TabFlags = std::array<bool, kLoopTabs + 1>;

struct LoopCursor {
    int position = 0;  // tab shown last, 0 = the next tick starts a new run
    int direction = 1; // +1 forward, -1 backward
};

struct LoopDelays {
    int delayMs = 0;      // each image
    int firstExtraMs = 0; // added for the first image of a run
    int lastExtraMs = 0;  // added for the last image of a run
};

// What one tick reads afresh: both by tab.
struct LoopTabs {
    TabFlags filled{};  // the tab's slot holds an image
    TabFlags skipped{}; // the tab's skip box is checked
};

// The unchecked skip boxes among tabs 1..highestFilledSlot, the images the
// loop runs over.
int loopImageCount(int highestFilledSlot, const TabFlags& skipped);
// The loop starts only with at least two images in it.
bool loopCanRun(int highestFilledSlot, const TabFlags& skipped);

// delayMs + extraMs, kept within 1..60000 ms (a timer never gets a negative
// interval, and the sum of large settings cannot overflow).
int loopInterval(int delayMs, int extraMs);

// The next position: moved by direction past checked skip boxes; leaving the
// tabs at either end gives tab 1. Once at tab 1 from below, the search goes
// on upward, so boxes checked at the bottom during a backward run cannot trap
// it. Returns position unchanged in the (guarded against) case that every
// box is checked.
int advanceLoopPosition(int position, int direction, const TabFlags& skipped);

struct LoopStep {
    int tab = 0;        // the tab to show now
    int intervalMs = 0; // how long it stays up
    LoopCursor next;    // the cursor for the following tick
};

// One Timer4 tick.
LoopStep loopTickStep(LoopCursor cursor, const LoopTabs& tabs, const LoopDelays& delays,
                      bool rockMode);

// One whole lap of the loop as Timer4 plays it, from its first image: the
// tabs in order with the time each stays up. Forward gives each image once;
// rock goes up and back down without showing either end twice in a row, so
// n images give 2n - 2 steps. Empty when the loop cannot run.
struct PlayedImage {
    int tab = 0;
    int intervalMs = 0;
};
std::vector<PlayedImage> loopLap(const LoopTabs& tabs, const LoopDelays& delays, bool rockMode);

// The delay buttons' step: 50 ms with Ctrl alone (shift state 2), otherwise
// 10 ms; direction -1 decreases down to 10, +1 increases up to 5000.
int steppedLoopDelay(int delayMs, int direction, int shiftState);

// The step buttons' wrap target: the left button stays at the end it moves
// towards, any other button continues from the other end.
int stepWrapTarget(int direction, bool leftButton);
// One move of the step search: cur + direction, the wrap target outside 1..20.
int stepSearchMove(int cur, int direction, int wrapTarget);

} // namespace nubivista::display
