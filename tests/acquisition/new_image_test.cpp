#include "acquisition/new_image.h"
#include "core/time_routines.h"
#include "support/scoped_time_zone.h"

#include <QTimeZone>
#include <array>
#include <gtest/gtest.h>
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
