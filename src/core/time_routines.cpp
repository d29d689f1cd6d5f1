#include "core/time_routines.h"

namespace nubivista::core {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;

const QDate& fileTimeOrigin() {
    static const QDate origin(1601, 1, 1);
    return origin;
}

// Seconds from 1601-01-01 to 1899-12-30, where date-time values count from.
std::int64_t oleEpochInFileTimeSeconds() {
    static const std::int64_t seconds =
        fileTimeOrigin().daysTo(QDate(1899, 12, 30)) * std::int64_t{86400};
    return seconds;
}

// Seconds from 1601-01-01 to 1970-01-01, where Qt's epoch counts from.
std::int64_t unixEpochInFileTimeSeconds() {
    static const std::int64_t seconds =
        fileTimeOrigin().daysTo(QDate(1970, 1, 1)) * std::int64_t{86400};
    return seconds;
}

std::optional<FileTime> fileTimeOf(OleDate t) {
    const std::optional<std::int64_t> seconds = oleToSeconds(t);
    if (!seconds)
        return std::nullopt;
    const std::int64_t sinceOrigin = *seconds + oleEpochInFileTimeSeconds();
    if (sinceOrigin < 0)
        return std::nullopt; // file times begin in 1601
    return sinceOrigin * kTicksPerSecond;
}

// A date-time as a value, failing before 1601 as file times cannot hold it.
std::optional<OleDate> oleFromFileTimeRange(const QDateTime& dt) {
    if (!dt.isValid() || dt.date() < fileTimeOrigin())
        return std::nullopt;
    return oleFromDateTime(dt);
}

} // namespace

QTimeZone localTimeZone() {
    QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? zone : QTimeZone::utc();
}

OleDate timeFailureValue(const Clock& clock) {
    const QDateTime now = clock.now();
    if (!now.isValid())
        return 0.0;
    const QDate date = now.date().addYears(-10);
    const QTime time = now.time();
    return oleFromParts(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                        time.second())
        .value_or(0.0);
}

OleDate FileTimeToLocDate(FileTime fileTime, const Clock& clock) {
    if (fileTime < 0)
        return timeFailureValue(clock);
    const std::int64_t unixSeconds = fileTime / kTicksPerSecond - unixEpochInFileTimeSeconds();
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(unixSeconds, QTimeZone::utc());
    const QDateTime local = utc.toTimeZone(localTimeZone());
    return oleFromFileTimeRange(local).value_or(timeFailureValue(clock));
}

FileTime DateToFileTime(OleDate t) {
    return fileTimeOf(t).value_or(0);
}

OleDate LocDateToUtcDate(OleDate t, const Clock& clock) {
    const std::optional<DateParts> parts = oleToParts(t);
    if (!parts || parts->year < fileTimeOrigin().year())
        return timeFailureValue(clock);
    const QDate date(parts->year, parts->month, parts->day);
    const QTime time(parts->hour, parts->minute, parts->second);
    const QTimeZone zone = localTimeZone();
    const QDateTime local(date, time, zone);
    // A wall time skipped when the clocks went forward does not exist; some Qt
    // versions mark it invalid, others move it, so both are checked.
    if (!local.isValid() || local.date() != date || local.time() != time)
        return timeFailureValue(clock);
    return oleFromFileTimeRange(local.toUTC()).value_or(timeFailureValue(clock));
}

OleDate utcToLocal(OleDate t, const Clock& clock) {
    const std::optional<FileTime> fileTime = fileTimeOf(t);
    if (!fileTime)
        return timeFailureValue(clock);
    return FileTimeToLocDate(*fileTime, clock);
}

} // namespace nubivista::core
