#pragma once
// The arithmetic of the refresh controls: the count-down text of Timer2, the
// pause remainder and the resume interval of Timer1, the interval buttons'
// limits, the Restart decision, the status-bar clock text and the caption's
// working-offline mark.
#include "core/clock.h"
#include "core/ole_date.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>

namespace nubivista::acquisition {

inline constexpr int kMinRefreshInterval = 1;
inline constexpr int kMaxRefreshInterval = 180;
inline constexpr int kLongestMinuteMs = 60000;
inline constexpr char kOfflineMark[] = " - [working offline]";

// Milliseconds from MinuteStartTick to nowTick. The tick count wraps after
// 2^32 ms, so only the low 32 bits of both are used and a wrap between them
// still gives the true time passed.
std::int64_t elapsedSinceMinuteStart(std::int32_t nowTick, std::int64_t minuteStartTick);

// The minute length: Timer1's design interval, below 1 or above 60000 ms
// taken as 60000.
int minuteLengthFrom(int designIntervalMs);

struct CountDownInput {
    std::int32_t nowTick = 0;
    std::int64_t minuteStartTick = 0; // MinuteStartTick
    int timer1IntervalMs = kLongestMinuteMs;
    int refreshIntervalMinutes = 6; // RefreshIntervalMinutes
    int minutesElapsed = 0;         // MinutesElapsed
};

// Text2 while the count-down runs: minutes, ":" and two-digit seconds left
// until the next refresh. A read less than a second into a minute shows the
// whole minute (":00" of the next higher minute).
QString countDownText(const CountDownInput& in);

// Pause: the milliseconds of the current minute left (Timer1's interval less
// the time passed).
std::int32_t pausedRemainder(std::int32_t nowTick, std::int64_t minuteStartTick,
                             int timer1IntervalMs);

// Resume: Timer1's interval for the rest of the paused minute; a remainder
// below 1 or above 60000 ms starts a full minute instead.
int resumeInterval(std::int32_t remainderMs, int minuteLengthMs);

// The interval buttons: one step up or down, kept within 1..180.
int increasedInterval(int intervalMinutes);
struct DecreasedInterval {
    int intervalMinutes = kMinRefreshInterval;
    int minutesElapsed = 0; // lowered to the new interval when it was above it

    bool operator==(const DecreasedInterval&) const = default;
};
DecreasedInterval decreasedInterval(int intervalMinutes, int minutesElapsed);

// Releasing the decrease button refreshes at once when the shorter interval
// has already passed while the minutes are being counted.
bool refreshOnDecreaseRelease(bool timer1Running, int minutesElapsed, int intervalMinutes);

// How Restart continues a process that was shut down.
enum class RestartKind {
    // The latest-image page: only new images from now on.
    LatestPage,
    // The loop page (back-dated start): the gap since the last image is
    // filled from the server's recent images.
    LoopPage,
};

// The loop page only with Back-Date checked and the last image (local time)
// older than now minus twice the interval.
RestartKind restartKind(bool backDateChecked, core::OleDate lastImageTime,
                        int refreshIntervalMinutes, const core::Clock& clock);

// Panel 4 of the status bar: empty when the clock is off; in UTC mode
// "hh:mm:ss UTC"; in local mode a blank and the local time of day in the
// locale's time format, with seconds and without a zone name.
QString clockPanelText(bool clockOn, bool utcMode, const QDateTime& now,
                       const QLocale& locale = QLocale::system());

// The window caption with the working-offline mark added (offline) or cut off
// with everything after it (online); unchanged when it already matches.
QString captionWithOfflineMark(const QString& caption, bool offline);

} // namespace nubivista::acquisition
