#include "acquisition/count_down.h"
#include "support/scoped_time_zone.h"

#include <QTimeZone>
#include <gtest/gtest.h>
#include <limits>

using namespace nubivista;
using namespace nubivista::acquisition;
using core::ManualClock;
using core::OleDate;
using nubivista::testing::ScopedTimeZone;

namespace {

constexpr std::int32_t kMaxTick = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinTick = std::numeric_limits<std::int32_t>::min();

OleDate at(int y, int mo, int d, int h, int mi, int s = 0) {
    return core::oleFromParts(y, mo, d, h, mi, s).value();
}

} // namespace

TEST(ElapsedSinceMinuteStart, SurvivesTheTickWrap) {
    const std::tuple<std::int32_t, std::int64_t, std::int64_t> cases[] = {
        // now, MinuteStartTick, elapsed
        {5000, 1000, 4000},
        {1000, 1000, 0},
        {kMinTick + 1499, kMaxTick - 500, 2000},
        {kMinTick, kMaxTick, 1},
        {-1000, -61000, 60000},
        // A start kept in 64 bits as the unsigned tick.
        {kMinTick + 10, std::int64_t{kMaxTick} + 1, 10},
    };
    for (const auto& [now, start, elapsed] : cases) {
        SCOPED_TRACE(::testing::Message() << now << " " << start);
        EXPECT_EQ(elapsedSinceMinuteStart(now, start), elapsed);
    }
}

TEST(CountDownText, MinuteAndSecondRules) {
    struct Case {
        const char* what;
        std::int64_t elapsedMs;
        int timer1Ms, interval, minutesElapsed;
        const char* expected;
    };
    const Case cases[] = {
        {"interval 1, one second in", 1000, 60000, 1, 0, "0:59"},
        {"interval 1, the minute just begun", 0, 60000, 1, 0, "1:00"},
        {"60 seconds left shows the next higher minute", 0, 60000, 6, 0, "6:00"},
        {"half a second in", 500, 60000, 6, 0, "5:59"},
        {"one second in", 1000, 60000, 6, 0, "5:59"},
        {"fraction of a second cut", 47001, 60000, 6, 2, "3:12"},
        {"last minute, almost over", 59999, 60000, 6, 5, "0:00"},
        {"Timer1 late", 60500, 60000, 6, 5, "0:00"},
        {"minutes counted up to the interval", 0, 60000, 6, 6, "6:00"},
        {"shortened below the minutes counted", 30000, 60000, 3, 3, "0:30"},
        {"longest interval", 1000, 60000, 180, 0, "179:59"},
        {"rest of a paused minute", 0, 12000, 6, 2, "3:12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::int32_t start = 7000;
        const CountDownInput in{static_cast<std::int32_t>(start + c.elapsedMs), start, c.timer1Ms,
                                c.interval, c.minutesElapsed};
        EXPECT_EQ(countDownText(in), QLatin1String(c.expected));
    }
}

TEST(CountDownText, ReadAcrossTheTickWrap) {
    const CountDownInput in{kMinTick + 1499, kMaxTick - 500, 60000, 6, 0};
    EXPECT_EQ(countDownText(in), QStringLiteral("5:58"));
}

// Pausing keeps what is left of the minute; resuming runs that rest first.
TEST(PauseAndResume, ContinuesFromThePausedTime) {
    const std::int32_t minuteStart = kMaxTick - 20000;
    const std::int32_t pauseTick = kMinTick + 27999; // 48 s into the minute, across the wrap
    const CountDownInput paused{pauseTick, minuteStart, 60000, 6, 2};
    ASSERT_EQ(countDownText(paused), QStringLiteral("3:12"));

    const std::int32_t remainder = pausedRemainder(pauseTick, minuteStart, 60000);
    EXPECT_EQ(remainder, 12000);

    const std::int32_t resumeTick = 123456789;
    const int interval = resumeInterval(remainder, 60000);
    EXPECT_EQ(interval, 12000);
    const CountDownInput resumed{resumeTick, resumeTick, interval, 6, 2};
    EXPECT_EQ(countDownText(resumed), QStringLiteral("3:12"));
}

TEST(PauseAndResume, RemainderOutOfRangeStartsAFullMinute) {
    const std::pair<std::int32_t, int> cases[] = {
        {12000, 12000}, {1, 1}, {60000, 60000}, {0, 30000}, {-250, 30000}, {60001, 30000},
    };
    for (const auto& [remainder, expected] : cases) {
        SCOPED_TRACE(remainder);
        EXPECT_EQ(resumeInterval(remainder, 30000), expected);
    }
    // Paused after Timer1 should already have ticked.
    EXPECT_EQ(resumeInterval(pausedRemainder(70500, 10000, 60000), 60000), 60000);
}

TEST(MinuteLength, DesignIntervalClamped) {
    const std::pair<int, int> cases[] = {
        {60000, 60000}, {45000, 45000}, {1, 1}, {0, 60000}, {-5, 60000}, {60001, 60000},
    };
    for (const auto& [design, expected] : cases) {
        SCOPED_TRACE(design);
        EXPECT_EQ(minuteLengthFrom(design), expected);
    }
}

// Holding a button steps repeatedly; the value stops at the limit.
TEST(IntervalButtons, HoldingStopsAtTheLimits) {
    int up = 178;
    std::vector<int> seenUp;
    for (int i = 0; i < 4; ++i)
        seenUp.push_back(up = increasedInterval(up));
    EXPECT_EQ(seenUp, (std::vector<int>{179, 180, 180, 180}));

    int down = 2;
    std::vector<int> seenDown;
    for (int i = 0; i < 3; ++i)
        seenDown.push_back(down = decreasedInterval(down, 0).intervalMinutes);
    EXPECT_EQ(seenDown, (std::vector<int>{1, 1, 1}));

    // A value from outside the range comes back into it.
    EXPECT_EQ(increasedInterval(250), 180);
    EXPECT_EQ(decreasedInterval(-3, 0).intervalMinutes, 1);
}

TEST(IntervalButtons, DecreaseLowersTheMinutesCounted) {
    const std::tuple<int, int, DecreasedInterval> cases[] = {
        // interval, MinutesElapsed, after one decrease
        {6, 2, {5, 2}}, {6, 5, {5, 5}}, {6, 6, {5, 5}}, {3, 5, {2, 2}}, {1, 1, {1, 1}},
    };
    for (const auto& [interval, elapsed, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << interval << " " << elapsed);
        EXPECT_EQ(decreasedInterval(interval, elapsed), expected);
    }
}

TEST(IntervalButtons, ReleaseRefreshesWhenTheShorterIntervalHasPassed) {
    const std::tuple<bool, int, int, bool> cases[] = {
        // Timer1 running, MinutesElapsed, interval, refresh
        {true, 4, 4, true},
        {true, 3, 4, false},
        {false, 4, 4, false},
    };
    for (const auto& [running, elapsed, interval, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << running << " " << elapsed << " " << interval);
        EXPECT_EQ(refreshOnDecreaseRelease(running, elapsed, interval), expected);
    }
}

// Restart back-dates only with Back-Date checked and a gap of more than twice
// the interval since the last image.
TEST(RestartKindTest, BackDatesOnlyAfterALongGap) {
    const ScopedTimeZone tz("UTC");
    const ManualClock clock(QDateTime(QDate(2024, 6, 15), QTime(12, 0, 0)), 0);
    struct Case {
        const char* what;
        bool backDate;
        OleDate lastImage;
        int interval;
        RestartKind expected;
    };
    const Case cases[] = {
        {"long gap", true, at(2024, 6, 15, 11, 30), 6, RestartKind::LoopPage},
        {"just over twice the interval", true, at(2024, 6, 15, 11, 47, 59), 6,
         RestartKind::LoopPage},
        {"exactly twice the interval", true, at(2024, 6, 15, 11, 48), 6, RestartKind::LatestPage},
        {"short gap", true, at(2024, 6, 15, 11, 55), 6, RestartKind::LatestPage},
        {"Back-Date unchecked", false, at(2024, 6, 15, 9, 0), 6, RestartKind::LatestPage},
        {"long interval", true, at(2024, 6, 15, 6, 30), 180, RestartKind::LatestPage},
        {"long interval, longer gap", true, at(2024, 6, 15, 5, 30), 180, RestartKind::LoopPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(restartKind(c.backDate, c.lastImage, c.interval, clock), c.expected);
    }
}

TEST(ClockPanelText, UtcLocalAndOff) {
    const ScopedTimeZone tz("America/New_York");
    const QDateTime now(QDate(2024, 6, 15), QTime(9, 5, 3));
    const QLocale c = QLocale::c();
    const QLocale us(QLocale::English, QLocale::UnitedStates);

    EXPECT_EQ(clockPanelText(true, true, now, c), QStringLiteral("13:05:03 UTC"));
    EXPECT_EQ(clockPanelText(true, false, now, c), QStringLiteral(" 09:05:03"));
    EXPECT_EQ(clockPanelText(true, false, now, us), QStringLiteral(" 9:05:03 AM"));
    EXPECT_EQ(clockPanelText(true, true, QDateTime(QDate(2024, 6, 15), QTime(21, 0, 9)), us),
              QStringLiteral("01:00:09 UTC"));
    EXPECT_EQ(clockPanelText(false, true, now, c), QString());
    EXPECT_EQ(clockPanelText(false, false, now, c), QString());
}

TEST(OfflineCaptionMark, AddedOnceAndCutWhenOnline) {
    const QString title = QStringLiteral("Melbourne, FL - Nubivista");
    const QString marked = title + QStringLiteral(" - [working offline]");
    const std::tuple<QString, bool, QString> cases[] = {
        {title, true, marked},
        {marked, true, marked},
        {marked, false, title},
        {title, false, title},
        {marked + QStringLiteral(" (x)"), false, title},
        {QString(), true, QStringLiteral(" - [working offline]")},
    };
    for (const auto& [caption, offline, expected] : cases) {
        SCOPED_TRACE(caption.toStdString() + (offline ? " offline" : " online"));
        EXPECT_EQ(captionWithOfflineMark(caption, offline), expected);
    }
}
