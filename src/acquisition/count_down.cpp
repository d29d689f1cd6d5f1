#include "acquisition/count_down.h"

#include <QTimeZone>
#include <algorithm>
#include <optional>

namespace nubivista::acquisition {

namespace {

// The locale's long time format without its time-zone field: the clock shows
// seconds, and a zone name would only crowd the panel.
QString timeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.trimmed();
}

} // namespace

std::int64_t elapsedSinceMinuteStart(std::int32_t nowTick, std::int64_t minuteStartTick) {
    const auto now = static_cast<std::uint32_t>(nowTick);
    const auto start = static_cast<std::uint32_t>(static_cast<std::uint64_t>(minuteStartTick));
    return static_cast<std::int64_t>(static_cast<std::uint32_t>(now - start));
}

int minuteLengthFrom(int designIntervalMs) {
    return designIntervalMs < 1 || designIntervalMs > kLongestMinuteMs ? kLongestMinuteMs
                                                                       : designIntervalMs;
}

QString countDownText(const CountDownInput& in) {
    const std::int64_t elapsed = elapsedSinceMinuteStart(in.nowTick, in.minuteStartTick);
    // A late Timer1 tick must not show negative seconds.
    const std::int64_t leftMs = std::max<std::int64_t>(0, in.timer1IntervalMs - elapsed);
    auto seconds = static_cast<int>(leftMs / 1000);
    int minutes = in.refreshIntervalMinutes - (in.minutesElapsed + 1);
    if (seconds == 60) {
        if (minutes == -1)
            minutes = in.refreshIntervalMinutes - 1;
        ++minutes;
        seconds = 0;
    }
    // While the interval is being shortened below the minutes counted, the
    // refresh is due: show no time left rather than a negative minute.
    minutes = std::max(0, minutes);
    return QString::number(minutes) + u':' + QString::number(seconds).rightJustified(2, u'0');
}

std::int32_t pausedRemainder(std::int32_t nowTick, std::int64_t minuteStartTick,
                             int timer1IntervalMs) {
    const std::int64_t left = timer1IntervalMs - elapsedSinceMinuteStart(nowTick, minuteStartTick);
    // Anything out of a minute's range is replaced by a full minute on resume.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(left, -1, kLongestMinuteMs + 1));
}

int resumeInterval(std::int32_t remainderMs, int minuteLengthMs) {
    return remainderMs < 1 || remainderMs > kLongestMinuteMs ? minuteLengthMs : remainderMs;
}

int increasedInterval(int intervalMinutes) {
    return std::clamp(intervalMinutes + 1, kMinRefreshInterval, kMaxRefreshInterval);
}

DecreasedInterval decreasedInterval(int intervalMinutes, int minutesElapsed) {
    const int interval = std::clamp(intervalMinutes - 1, kMinRefreshInterval, kMaxRefreshInterval);
    return DecreasedInterval{interval, std::min(minutesElapsed, interval)};
}

bool refreshOnDecreaseRelease(bool timer1Running, int minutesElapsed, int intervalMinutes) {
    return timer1Running && minutesElapsed >= intervalMinutes;
}

RestartKind restartKind(bool backDateChecked, core::OleDate lastImageTime,
                        int refreshIntervalMinutes, const core::Clock& clock) {
    if (!backDateChecked)
        return RestartKind::LatestPage;
    const std::optional<core::OleDate> now = core::oleFromDateTime(clock.now());
    const std::optional<core::OleDate> cutoff =
        now ? core::oleAddMinutes(*now, -2.0 * refreshIntervalMinutes) : std::nullopt;
    const std::optional<std::int64_t> cutoffSeconds =
        cutoff ? core::oleToSeconds(*cutoff) : std::nullopt;
    const std::optional<std::int64_t> lastSeconds = core::oleToSeconds(lastImageTime);
    if (!cutoffSeconds)
        return RestartKind::LatestPage;
    // An unusable last-image time counts as long ago: the gap is unknown.
    if (!lastSeconds || *lastSeconds < *cutoffSeconds)
        return RestartKind::LoopPage;
    return RestartKind::LatestPage;
}

QString clockPanelText(bool clockOn, bool utcMode, const QDateTime& now, const QLocale& locale) {
    if (!clockOn || !now.isValid())
        return {};
    if (utcMode)
        return now.toTimeZone(QTimeZone::utc()).time().toString(QStringLiteral("HH:mm:ss")) +
               QStringLiteral(" UTC");
    return u' ' + locale.toString(now.toLocalTime().time(), timeFormatWithoutZone(locale));
}

QString captionWithOfflineMark(const QString& caption, bool offline) {
    const QString mark = QString::fromLatin1(kOfflineMark);
    const qsizetype at = caption.indexOf(mark);
    if (offline)
        return at < 0 ? caption + mark : caption;
    return at < 0 ? caption : caption.left(at);
}

} // namespace nubivista::acquisition
