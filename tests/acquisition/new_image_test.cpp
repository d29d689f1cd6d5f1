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

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

// Local noon of 2024-06-15.
ManualClock noonClock() {
    return ManualClock(QDateTime(QDate(2024, 6, 15), QTime(12, 0, 0)), 0);
}

} // namespace

// The layer's UTC Last-Modified time becomes local time; the size is its low
// 32 bits; anything without a usable time is the failure value.
TEST(CacheTimeFromEntry, ConvertsTheLayersEntry) {
    const ScopedTimeZone tz("America/New_York");
    const ManualClock clock = noonClock();
    const CacheTime failure{at(2014, 6, 15, 12, 0), -1, std::nullopt};
    ASSERT_EQ(cacheTimeFailure(clock), failure);

    const std::tuple<const char*, std::optional<platform::CacheEntry>, CacheTime> cases[] = {
        {"summer time",
         platform::CacheEntry{utc(2024, 6, 15, 18, 7, 30), 48213},
         {at(2024, 6, 15, 14, 7, 30), 48213, at(2024, 6, 15, 18, 7, 30)}},
        {"size above 32 bits with the top bit set",
         platform::CacheEntry{utc(2024, 6, 15, 18, 7), 0x1'FFFF'FFFELL},
         {at(2024, 6, 15, 14, 7), -2, at(2024, 6, 15, 18, 7)}},
        {"not cached", std::nullopt, failure},
        {"no time", platform::CacheEntry{QDateTime(), 48213}, failure},
    };
    for (const auto& [what, entry, expected] : cases)
        EXPECT_EQ(cacheTimeFromEntry(entry, clock), expected) << what;
}

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

// The slot's stamp is the cache time moved by StampAdjustMinutes, in UTC, and
// stays right across the daylight-saving changes.
TEST(SlotTimeStamp, AdjustsTheCacheTimeAndStoresUtc) {
    const ScopedTimeZone tz("America/New_York");
    const ManualClock clock = noonClock();
    const std::tuple<const char*, QDateTime, int, OleDate> cases[] = {
        {"14:07 local less 5", utc(2024, 6, 15, 18, 7), -5, at(2024, 6, 15, 18, 2)},
        {"over midnight", utc(2024, 6, 15, 23, 50), 90, at(2024, 6, 16, 1, 20)},
        {"into the hour skipped in spring", utc(2024, 3, 10, 7, 2), -5, at(2024, 3, 10, 6, 57)},
        {"the first 01:30 in autumn", utc(2024, 11, 3, 5, 30), 0, at(2024, 11, 3, 5, 30)},
    };
    for (const auto& [what, lastModified, adjust, expected] : cases) {
        const CacheTime image = cacheTimeFromEntry(platform::CacheEntry{lastModified, 1}, clock);
        EXPECT_EQ(slotTimeStamp(image, adjust, clock), expected) << what;
    }

    // Only the local time known (no UTC kept): converted from local time.
    const CacheTime localOnly{at(2024, 6, 15, 14, 7), 1, std::nullopt};
    EXPECT_EQ(slotTimeStamp(localOnly, -5, clock), at(2024, 6, 15, 18, 2));
}

TEST(AcceptedImageStep, TurnsAFullOrGappedRingAndNamesTheNewestTab) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    const CacheTime image{at(2024, 6, 15, 11, 56), 50002, at(2024, 6, 15, 11, 56)};
    const int full = sets::kRingFull, gaps = sets::kRingHasGaps;
    const std::array<int, 7> cases[] = {
        // newest, offset, wrap; then slot, offset, wrap, tab
        {5, 5, full, 6, 6, full, 20},
        {19, 19, full, 20, 0, full, 20},
        {7, 10, gaps, 8, 10, gaps, 18},   // gaps left by a deletion
        {10, 10, gaps, 11, 11, full, 20}, // the last gap filled
    };
    for (const auto& [newest, offset, wrap, slot, newOffset, newWrap, tab] : cases) {
        SCOPED_TRACE(::testing::Message() << newest << " " << offset << " " << wrap);
        sets::SlotModel model;
        model.newestSlot = std::int16_t(newest);
        model.ringOffset = std::int16_t(offset);
        model.wrapState = std::int16_t(wrap);
        EXPECT_FALSE(isFirstImageOfProcess(model));
        const AcceptedImageStep step = stepForAcceptedImage(model, image, -5, clock);
        EXPECT_EQ(step, (AcceptedImageStep{slot, at(2024, 6, 15, 11, 51), std::int16_t(slot),
                                           std::int16_t(newOffset), std::int16_t(newWrap),
                                           image.time, image.size, tab}));
    }
}
