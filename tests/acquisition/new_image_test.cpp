// What makes an image new, and the refresh count-down: its text, the tick
// wrap, and a pause that keeps what is left of the minute.
#include "acquisition/count_down.h"
#include "acquisition/feed_choice.h"
#include "acquisition/new_image.h"
#include "core/form1.h"
#include "core/time_routines.h"
#include "support/scoped_time_zone.h"

#include <QTimeZone>
#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace nubivista;
using namespace nubivista::acquisition;
using core::ManualClock;
using core::OleDate;
using nubivista::testing::ScopedTimeZone;

namespace {

OleDate at(int y, int mo, int d, int h, int mi, int s = 0) {
    return core::oleFromParts(y, mo, d, h, mi, s).value();
}

// Local noon of 2024-06-15.
ManualClock noonClock() {
    return ManualClock(QDateTime(QDate(2024, 6, 15), QTime(12, 0, 0)), 0);
}

} // namespace

// A new process starts 36 months back so that its first image is always
// newer; the first image itself must be at most 24 months old. Later, only a
// newer time together with a different size is a new image.
TEST(NewImageTest, FirstAndLaterImages) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    const CacheTime start = lastImageOfNewProcess(clock);
    EXPECT_EQ(start.time, at(2021, 6, 15, 12, 0));
    EXPECT_EQ(start.size, -1);
    const std::pair<CacheTime, bool> firstCases[] = {
        {{at(2022, 6, 15, 12, 0, 0), 48213, {}}, true},    // exactly 24 months
        {{at(2022, 6, 15, 11, 59, 59), 48213, {}}, false}, // a second older
        {{at(2024, 6, 15, 11, 56), -1, {}}, true},         // the size does not count
        {cacheTimeFailure(clock), false},                  // not cached
    };
    for (const auto& [cached, expected] : firstCases)
        EXPECT_EQ(isNewImage(cached, true, start.time, start.size, clock), expected) << cached.time;

    const OleDate lastTime = at(2024, 6, 15, 11, 50);
    const std::int32_t lastSize = 48213;
    const std::tuple<const char*, CacheTime, bool> laterCases[] = {
        {"a second newer, other size", {at(2024, 6, 15, 11, 50, 1), 50002, {}}, true},
        {"republished: newer, same size", {at(2024, 6, 15, 11, 56), lastSize, {}}, false},
        {"same time, other size", {lastTime, 50002, {}}, false},
        {"older, other size", {at(2024, 6, 15, 11, 44), 50002, {}}, false},
        {"no longer cached", cacheTimeFailure(clock), false},
    };
    for (const auto& [what, cached, expected] : laterCases)
        EXPECT_EQ(isNewImage(cached, false, lastTime, lastSize, clock), expected) << what;
}

namespace {

constexpr std::int32_t kMaxTick = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinTick = std::numeric_limits<std::int32_t>::min();

} // namespace

TEST(ElapsedSinceMinuteStart, SurvivesTheTickWrap) {
    const std::tuple<std::int32_t, std::int64_t, std::int64_t> cases[] = {
        // now, MinuteStartTick, elapsed
        {kMinTick + 1499, kMaxTick - 500, 2000},
        {kMinTick, kMaxTick, 1},
        {-1000, -61000, 60000},
        {kMinTick + 10, std::int64_t{kMaxTick} + 1, 10}, // a start kept as the unsigned tick
    };
    for (const auto& [now, start, elapsed] : cases)
        EXPECT_EQ(elapsedSinceMinuteStart(now, start), elapsed) << now << " " << start;
}

TEST(CountDownText, MinuteAndSecondRules) {
    const std::tuple<int, int, int, const char*> cases[] = {
        // ms into the minute, interval, MinutesElapsed, text
        {1000, 1, 0, "0:59"},     // interval 1, one second into the minute
        {0, 6, 0, "6:00"},        // 60 seconds left: ":00" of the next higher minute
        {47001, 6, 2, "3:12"},    // fractions of a second cut
        {59999, 6, 5, "0:00"},    // the last minute almost over
        {60500, 6, 5, "0:00"},    // Timer1 late
        {0, 6, 6, "6:00"},        // minutes counted up to the interval
        {30000, 3, 3, "0:30"},    // shortened below the minutes counted
        {1000, 180, 0, "179:59"}, // the longest interval
    };
    for (const auto& [elapsed, interval, minutes, expected] : cases) {
        const CountDownInput in{7000 + elapsed, 7000, 60000, interval, minutes};
        EXPECT_EQ(countDownText(in), QLatin1String(expected)) << elapsed << " " << interval;
    }
}

// Pausing keeps what is left of the minute; resuming runs that rest first.
TEST(PauseAndResume, ContinuesFromThePausedTimeOrAFullMinute) {
    const std::int32_t minuteStart = kMaxTick - 20000;
    const std::int32_t pauseTick = kMinTick + 27999; // 48 s into the minute, across the wrap
    const CountDownInput paused{pauseTick, minuteStart, 60000, 6, 2};
    ASSERT_EQ(countDownText(paused), QStringLiteral("3:12"));

    const std::int32_t remainder = pausedRemainder(pauseTick, minuteStart, 60000);
    EXPECT_EQ(remainder, 12000);

    const int interval = resumeInterval(remainder, 60000);
    EXPECT_EQ(interval, 12000);
    const CountDownInput resumed{123456789, 123456789, interval, 6, 2};
    EXPECT_EQ(countDownText(resumed), QStringLiteral("3:12"));

    // Out-of-range remainders and minute lengths fall back.
    const std::pair<std::int32_t, int> remainders[] = {
        {1, 1}, {60000, 60000}, {0, 30000}, {-250, 30000}, {60001, 30000}};
    for (const auto& [rest, expected] : remainders)
        EXPECT_EQ(resumeInterval(rest, 30000), expected) << rest;
    // Paused after Timer1 should already have ticked.
    EXPECT_EQ(resumeInterval(pausedRemainder(70500, 10000, 60000), 60000), 60000);

    const std::pair<int, int> lengths[] = {{45000, 45000}, {1, 1}, {0, 60000}, {60001, 60000}};
    for (const auto& [design, expected] : lengths)
        EXPECT_EQ(minuteLengthFrom(design), expected) << design;
}
