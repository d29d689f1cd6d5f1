#include "acquisition/new_image.h"
#include "core/time_routines.h"
#include "support/scoped_time_zone.h"

#include <QTimeZone>
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

class FakeInternet : public platform::InternetService {
public:
    platform::ConnectionState connectionState() override { return {}; }
    void dial() override {}
    bool goOnline() override { return true; }
    bool goOffline() override { return true; }
    std::optional<platform::CacheEntry> cacheEntry(const QUrl& address) override {
        lookedUp.push_back(address);
        return entry;
    }
    platform::DownloadResult downloadToFile(const QUrl&, const QString&) override {
        ++downloads;
        return {};
    }
    bool showOptionsDialog(QWidget*) override { return false; }

    std::optional<platform::CacheEntry> entry;
    std::vector<QUrl> lookedUp;
    int downloads = 0;
};

} // namespace

// The layer's UTC Last-Modified time becomes local time; the size is its low
// 32 bits; anything without a usable time is the failure value.
TEST(CacheTimeFromEntry, ConvertsTheLayersEntry) {
    const ScopedTimeZone tz("America/New_York");
    const ManualClock clock = noonClock();
    const CacheTime failure{at(2014, 6, 15, 12, 0), -1, std::nullopt};
    ASSERT_EQ(cacheTimeFailure(clock), failure);

    struct Case {
        const char* what;
        std::optional<platform::CacheEntry> entry;
        CacheTime expected;
    };
    const Case cases[] = {
        {"summer time",
         platform::CacheEntry{utc(2024, 6, 15, 18, 7, 30), 48213},
         {at(2024, 6, 15, 14, 7, 30), 48213, at(2024, 6, 15, 18, 7, 30)}},
        {"winter time",
         platform::CacheEntry{utc(2024, 1, 10, 3, 2), 1000},
         {at(2024, 1, 9, 22, 2), 1000, at(2024, 1, 10, 3, 2)}},
        {"time given with an offset",
         platform::CacheEntry{QDateTime(QDate(2024, 6, 15), QTime(20, 7), QTimeZone(7200)), 5},
         {at(2024, 6, 15, 14, 7), 5, at(2024, 6, 15, 18, 7)}},
        {"size above 32 bits",
         platform::CacheEntry{utc(2024, 6, 15, 18, 7), 0x1'0000'1234LL},
         {at(2024, 6, 15, 14, 7), 0x1234, at(2024, 6, 15, 18, 7)}},
        {"size with the top bit set",
         platform::CacheEntry{utc(2024, 6, 15, 18, 7), 0xFFFF'FFFELL},
         {at(2024, 6, 15, 14, 7), -2, at(2024, 6, 15, 18, 7)}},
        {"not cached", std::nullopt, failure},
        {"no time", platform::CacheEntry{QDateTime(), 48213}, failure},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cacheTimeFromEntry(c.entry, clock), c.expected);
    }
}

TEST(CacheTimeOf, ReadsOnlyTheCacheEntryOfTheAddress) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    FakeInternet internet;
    internet.entry = platform::CacheEntry{utc(2024, 6, 15, 11, 56), 31000};
    const QUrl address(QStringLiteral("http://radar.test/ridge/RadarImg/N0R/MLB_N0R_0.gif"));

    const CacheTime cached = CacheTimeOf(internet, address, clock);

    EXPECT_EQ(cached.time, at(2024, 6, 15, 11, 56));
    EXPECT_EQ(cached.size, 31000);
    ASSERT_EQ(internet.lookedUp.size(), 1u);
    EXPECT_EQ(internet.lookedUp[0], address);
    EXPECT_EQ(internet.downloads, 0);
}

// A new process starts 36 months back so that its first image is always
// newer; the first image itself must be at most 24 months old.
TEST(NewImageTest, FirstImageOfAProcess) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    const CacheTime start = lastImageOfNewProcess(clock);
    EXPECT_EQ(start.time, at(2021, 6, 15, 12, 0));
    EXPECT_EQ(start.size, -1);

    const std::pair<CacheTime, bool> cases[] = {
        {{at(2024, 6, 15, 11, 56), 48213, {}}, true},
        {{at(2022, 6, 15, 12, 0, 0), 48213, {}}, true},    // exactly 24 months
        {{at(2022, 6, 15, 11, 59, 59), 48213, {}}, false}, // a second older
        {{at(2024, 6, 15, 11, 56), -1, {}}, true},         // the size does not count
        {cacheTimeFailure(clock), false},                  // not cached
    };
    for (const auto& [cached, expected] : cases) {
        SCOPED_TRACE(cached.time);
        EXPECT_EQ(isNewImage(cached, true, start.time, start.size, clock), expected);
    }
}

// Only a newer time together with a different size is a new image.
TEST(NewImageTest, LaterImages) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    const OleDate lastTime = at(2024, 6, 15, 11, 50);
    const std::int32_t lastSize = 48213;

    struct Case {
        const char* what;
        CacheTime cached;
        bool expected;
    };
    const Case cases[] = {
        {"newer, other size", {at(2024, 6, 15, 11, 56), 50002, {}}, true},
        {"a second newer, other size", {at(2024, 6, 15, 11, 50, 1), 50002, {}}, true},
        {"republished: newer, same size", {at(2024, 6, 15, 11, 56), lastSize, {}}, false},
        {"same time, other size", {lastTime, 50002, {}}, false},
        {"older, other size", {at(2024, 6, 15, 11, 44), 50002, {}}, false},
        {"the same image", {lastTime, lastSize, {}}, false},
        {"no longer cached", cacheTimeFailure(clock), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(isNewImage(c.cached, false, lastTime, lastSize, clock), c.expected);
    }
}

TEST(NewImageTest, FirstImageIsTheEmptyFillingRing) {
    const std::tuple<int, int, bool> cases[] = {
        // NewestSlot, WrapState, first image
        {0, sets::kFillingFirstTime, true},
        {0, sets::kRingHasGaps, false},
        {3, sets::kFillingFirstTime, false},
        {20, sets::kRingFull, false},
    };
    for (const auto& [newest, wrap, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << newest << " " << wrap);
        sets::SlotModel model;
        model.newestSlot = static_cast<std::int16_t>(newest);
        model.wrapState = static_cast<std::int16_t>(wrap);
        EXPECT_EQ(isFirstImageOfProcess(model), expected);
    }
}

// The slot's stamp is the cache time moved by StampAdjustMinutes, in UTC, and
// stays right across the daylight-saving changes.
TEST(SlotTimeStamp, AdjustsTheCacheTimeAndStoresUtc) {
    const ScopedTimeZone tz("America/New_York");
    const ManualClock clock = noonClock();
    struct Case {
        const char* what;
        QDateTime lastModified;
        int adjust;
        OleDate expectedUtc;
    };
    const Case cases[] = {
        {"14:07 local less 5 minutes is 14:02 local", utc(2024, 6, 15, 18, 7), -5,
         at(2024, 6, 15, 18, 2)},
        {"no adjustment", utc(2024, 6, 15, 18, 7), 0, at(2024, 6, 15, 18, 7)},
        {"over midnight", utc(2024, 6, 15, 23, 50), 90, at(2024, 6, 16, 1, 20)},
        {"back into the hour skipped in spring", utc(2024, 3, 10, 7, 2), -5,
         at(2024, 3, 10, 6, 57)},
        {"the first 01:30 of the autumn change", utc(2024, 11, 3, 5, 30), 0,
         at(2024, 11, 3, 5, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CacheTime image = cacheTimeFromEntry(platform::CacheEntry{c.lastModified, 1}, clock);
        EXPECT_EQ(slotTimeStamp(image, c.adjust, clock), c.expectedUtc);
    }

    // Only the local time known (no UTC kept): converted from local time.
    const CacheTime localOnly{at(2024, 6, 15, 14, 7), 1, std::nullopt};
    EXPECT_EQ(slotTimeStamp(localOnly, -5, clock), at(2024, 6, 15, 18, 2));
}

TEST(AcceptedImageStep, TurnsTheRingAndNamesTheNewestTab) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    const CacheTime image{at(2024, 6, 15, 11, 56), 50002, at(2024, 6, 15, 11, 56)};

    struct Case {
        const char* what;
        int newest, offset, wrap;
        int slot, newNewest, newOffset, newWrap, tab;
    };
    const Case cases[] = {
        {"first image", 0, 0, sets::kFillingFirstTime, 1, 1, 0, sets::kFillingFirstTime, 1},
        {"twentieth image", 19, 0, sets::kFillingFirstTime, 20, 20, 0, sets::kFillingFirstTime, 20},
        {"twenty-first image", 20, 0, sets::kFillingFirstTime, 1, 1, 1, sets::kRingFull, 20},
        {"full ring", 5, 5, sets::kRingFull, 6, 6, 6, sets::kRingFull, 20},
        {"full ring at slot 20", 19, 19, sets::kRingFull, 20, 20, 0, sets::kRingFull, 20},
        {"gaps left by a deletion", 7, 10, sets::kRingHasGaps, 8, 8, 10, sets::kRingHasGaps, 18},
        {"the last gap filled", 10, 10, sets::kRingHasGaps, 11, 11, 11, sets::kRingFull, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sets::SlotModel model;
        model.newestSlot = static_cast<std::int16_t>(c.newest);
        model.ringOffset = static_cast<std::int16_t>(c.offset);
        model.wrapState = static_cast<std::int16_t>(c.wrap);
        model.lastImageTime = at(2024, 6, 15, 11, 50);
        model.lastImageSize = 48213;

        const AcceptedImageStep step = stepForAcceptedImage(model, image, -5, clock);

        EXPECT_EQ(step.slot, c.slot);
        EXPECT_EQ(step.slotTime, at(2024, 6, 15, 11, 51));
        EXPECT_EQ(step.newestSlot, c.newNewest);
        EXPECT_EQ(step.ringOffset, c.newOffset);
        EXPECT_EQ(step.wrapState, c.newWrap);
        EXPECT_EQ(step.lastImageTime, image.time);
        EXPECT_EQ(step.lastImageSize, image.size);
        EXPECT_EQ(step.tab, c.tab);

        applyAcceptedImageStep(model, step);
        EXPECT_EQ(model.newestSlot, c.newNewest);
        EXPECT_EQ(model.ringOffset, c.newOffset);
        EXPECT_EQ(model.wrapState, c.newWrap);
        EXPECT_EQ(model.lastImageTime, image.time);
        EXPECT_EQ(model.lastImageSize, image.size);
    }
}

// Twenty-one images from an empty ring: slots 1 to 20 on tabs 1 to 20, then
// slot 1 again with the newest still on tab 20.
TEST(AcceptedImageStep, TwentyOneImagesFromAnEmptyRing) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock = noonClock();
    sets::SlotModel model;
    for (int n = 1; n <= 21; ++n) {
        SCOPED_TRACE(n);
        const CacheTime image{at(2024, 6, 15, 10, n), 1000 + n, at(2024, 6, 15, 10, n)};
        EXPECT_EQ(isFirstImageOfProcess(model), n == 1);
        const AcceptedImageStep step = stepForAcceptedImage(model, image, 0, clock);
        model.slotFilled[step.slot] = 1;
        model.slotTime[step.slot] = step.slotTime;
        applyAcceptedImageStep(model, step);
        const int expectedSlot = n <= 20 ? n : 1;
        EXPECT_EQ(step.slot, expectedSlot);
        EXPECT_EQ(step.tab, n <= 20 ? n : 20);
        EXPECT_EQ(sets::slotForTab(step.tab, model.ringOffset), expectedSlot);
    }
    EXPECT_EQ(model.ringOffset, 1);
    EXPECT_EQ(model.wrapState, sets::kRingFull);
    EXPECT_EQ(model.slotTime[1], at(2024, 6, 15, 10, 21));
}
