#include "display/loop_sequence.h"

#include <algorithm>
#include <cstdint>

namespace nubivista::display {

namespace {

bool counts(const LoopTabs& tabs, int tab) {
    return tabs.filled[tab] && !tabs.skipped[tab];
}

// Whether a tab beyond position in direction still has an image to show.
bool furtherImage(const LoopTabs& tabs, int position, int direction) {
    if (direction > 0) {
        for (int tab = position + 1; tab <= kLoopTabs; ++tab)
            if (counts(tabs, tab))
                return true;
    } else {
        for (int tab = position - 1; tab >= 1; --tab)
            if (counts(tabs, tab))
                return true;
    }
    return false;
}

} // namespace

int loopImageCount(int highestFilledSlot, const TabFlags& skipped) {
    const int last = std::clamp(highestFilledSlot, 0, kLoopTabs);
    int count = 0;
    for (int tab = 1; tab <= last; ++tab)
        if (!skipped[tab])
            ++count;
    return count;
}

bool loopCanRun(int highestFilledSlot, const TabFlags& skipped) {
    return highestFilledSlot >= 2 && loopImageCount(highestFilledSlot, skipped) >= 2;
}

int loopInterval(int delayMs, int extraMs) {
    const std::int64_t sum = std::int64_t{delayMs} + extraMs;
    return static_cast<int>(std::clamp<std::int64_t>(sum, 1, kMaxLoopIntervalMs));
}

int advanceLoopPosition(int position, int direction, const TabFlags& skipped) {
    int tab = position;
    int move = direction < 0 ? -1 : 1;
    // Two laps are more than any search needs; the bound only guards against
    // every box being checked.
    for (int moves = 0; moves <= 2 * kLoopTabs; ++moves) {
        tab += move;
        if (tab < 1 || tab > kLoopTabs) {
            tab = 1;
            move = 1;
        }
        if (!skipped[tab])
            return tab;
    }
    return position;
}

LoopStep loopTickStep(LoopCursor cursor, const LoopTabs& tabs, const LoopDelays& delays,
                      bool rockMode) {
    LoopStep step;
    step.intervalMs = cursor.position != 0 ? loopInterval(delays.delayMs, 0)
                                           : loopInterval(delays.delayMs, delays.firstExtraMs);
    step.tab = advanceLoopPosition(cursor.position, cursor.direction, tabs.skipped);
    step.next = {step.tab, cursor.direction < 0 ? -1 : 1};
    if (furtherImage(tabs, step.tab, step.next.direction))
        return step;

    // The image just shown ends the run.
    const int extra = step.next.direction > 0 ? delays.lastExtraMs : delays.firstExtraMs;
    if (rockMode)
        step.next.direction = -step.next.direction;
    else
        step.next = {0, 1};
    step.intervalMs = loopInterval(delays.delayMs, extra);
    return step;
}

std::vector<PlayedImage> loopLap(const LoopTabs& tabs, const LoopDelays& delays, bool rockMode) {
    int highest = 0;
    for (int tab = 1; tab <= kLoopTabs; ++tab)
        if (tabs.filled[tab])
            highest = tab;
    if (!loopCanRun(highest, tabs.skipped))
        return {};
    // The ticks are played until the cursor comes back to a state it was in;
    // the steps since that state's first visit are one lap. The states are
    // few (a position and a direction), so a lap is found within them.
    std::vector<LoopCursor> seen;
    std::vector<PlayedImage> played;
    LoopCursor cursor;
    constexpr int kMaxSteps = 4 * kLoopTabs + 4;
    for (int step = 0; step < kMaxSteps; ++step) {
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (seen[i].position != cursor.position || seen[i].direction != cursor.direction)
                continue;
            std::vector<PlayedImage> lap(played.begin() + static_cast<std::ptrdiff_t>(i),
                                         played.end());
            // A rocking lap is found starting just after the first image;
            // it is turned to begin where a run begins.
            const int first = played.front().tab;
            const auto start = std::find_if(
                lap.begin(), lap.end(), [first](const PlayedImage& p) { return p.tab == first; });
            std::rotate(lap.begin(), start == lap.end() ? lap.begin() : start, lap.end());
            return lap;
        }
        seen.push_back(cursor);
        const LoopStep next = loopTickStep(cursor, tabs, delays, rockMode);
        played.push_back({next.tab, next.intervalMs});
        cursor = next.next;
    }
    return played;
}

int steppedLoopDelay(int delayMs, int direction, int shiftState) {
    const std::int64_t step = shiftState == 2 ? kLoopDelayCtrlStepMs : kLoopDelayStepMs;
    if (direction < 0)
        return static_cast<int>(std::max<std::int64_t>(delayMs - step, kMinLoopDelayMs));
    return static_cast<int>(std::min<std::int64_t>(delayMs + step, kMaxLoopDelayMs));
}

int stepWrapTarget(int direction, bool leftButton) {
    const bool down = direction < 0;
    if (leftButton)
        return down ? 1 : kLoopTabs;
    return down ? kLoopTabs : 1;
}

int stepSearchMove(int cur, int direction, int wrapTarget) {
    const int next = cur + direction;
    return next < 1 || next > kLoopTabs ? wrapTarget : next;
}

} // namespace nubivista::display
