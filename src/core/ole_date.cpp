#include "core/ole_date.h"

#include <cmath>

namespace nubivista::core {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Day numbers of 0100-01-01 and 9999-12-31 counted from 1899-12-30.
constexpr std::int64_t kFirstDay = -657434;
constexpr std::int64_t kLastDay = 2958465;
constexpr std::int64_t kMinSeconds = kFirstDay * kSecondsPerDay;
constexpr std::int64_t kMaxSeconds = kLastDay * kSecondsPerDay + kSecondsPerDay - 1;

qint64 epochJulianDay() {
    static const qint64 day = QDate(1899, 12, 30).toJulianDay();
    return day;
}

std::int64_t floorDiv(std::int64_t value, std::int64_t divisor) {
    std::int64_t q = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0)))
        --q;
    return q;
}

bool inRange(std::int64_t seconds) {
    return seconds >= kMinSeconds && seconds <= kMaxSeconds;
}

std::optional<std::int64_t> secondsFromDateAndTime(const QDate& date, int hour, int minute,
                                                   int second) {
    if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59)
        return std::nullopt;
    const std::int64_t seconds = (date.toJulianDay() - epochJulianDay()) * kSecondsPerDay +
                                 hour * 3600 + minute * 60 + second;
    if (!inRange(seconds))
        return std::nullopt;
    return seconds;
}

} // namespace

bool isValidOleDate(OleDate date) {
    return oleToSeconds(date).has_value();
}

std::optional<std::int64_t> oleToSeconds(OleDate date) {
    // Checked before any rounding, so a huge or NaN value never reaches llround.
    if (!std::isfinite(date) || date <= kFirstDay - 1.0 || date >= kLastDay + 1.0)
        return std::nullopt;
    const double wholeDays = std::trunc(date);
    const double dayFraction = std::fabs(date - wholeDays);
    const std::int64_t seconds = static_cast<std::int64_t>(wholeDays) * kSecondsPerDay +
                                 std::llround(dayFraction * kSecondsPerDay);
    if (!inRange(seconds))
        return std::nullopt;
    return seconds;
}

std::optional<OleDate> oleFromSeconds(std::int64_t seconds) {
    if (!inRange(seconds))
        return std::nullopt;
    const std::int64_t days = floorDiv(seconds, kSecondsPerDay);
    const double dayFraction =
        static_cast<double>(seconds - days * kSecondsPerDay) / kSecondsPerDay;
    // Before the epoch the time of day is still counted forward from midnight.
    return days >= 0 ? days + dayFraction : days - dayFraction;
}

std::optional<DateParts> oleToParts(OleDate date) {
    const std::optional<std::int64_t> seconds = oleToSeconds(date);
    if (!seconds)
        return std::nullopt;
    const std::int64_t days = floorDiv(*seconds, kSecondsPerDay);
    const auto secondOfDay = static_cast<int>(*seconds - days * kSecondsPerDay);
    const QDate calendarDate = QDate::fromJulianDay(epochJulianDay() + days);
    DateParts parts;
    parts.year = calendarDate.year();
    parts.month = calendarDate.month();
    parts.day = calendarDate.day();
    parts.hour = secondOfDay / 3600;
    parts.minute = secondOfDay / 60 % 60;
    parts.second = secondOfDay % 60;
    parts.weekday = calendarDate.dayOfWeek() % 7 + 1; // Qt counts Monday = 1
    return parts;
}

std::optional<OleDate> oleFromParts(const DateParts& parts) {
    const std::optional<std::int64_t> seconds = secondsFromDateAndTime(
        QDate(parts.year, parts.month, parts.day), parts.hour, parts.minute, parts.second);
    if (!seconds)
        return std::nullopt;
    return oleFromSeconds(*seconds);
}

std::optional<OleDate> oleFromParts(int year, int month, int day, int hour, int minute,
                                    int second) {
    return oleFromParts(DateParts{year, month, day, hour, minute, second, 0});
}

std::optional<OleDate> oleAddMinutes(OleDate date, double minutes) {
    const std::optional<std::int64_t> seconds = oleToSeconds(date);
    const double addedSeconds = minutes * 60;
    if (!seconds || !std::isfinite(addedSeconds) ||
        std::fabs(addedSeconds) > static_cast<double>(kMaxSeconds - kMinSeconds))
        return std::nullopt;
    return oleFromSeconds(*seconds + std::llround(addedSeconds));
}

namespace {

template <typename Shift> std::optional<OleDate> shiftCalendarDate(OleDate date, Shift shift) {
    const std::optional<DateParts> parts = oleToParts(date);
    if (!parts)
        return std::nullopt;
    const QDate shifted = shift(QDate(parts->year, parts->month, parts->day));
    const std::optional<std::int64_t> seconds =
        secondsFromDateAndTime(shifted, parts->hour, parts->minute, parts->second);
    if (!seconds)
        return std::nullopt;
    return oleFromSeconds(*seconds);
}

} // namespace

std::optional<OleDate> oleAddMonths(OleDate date, int months) {
    return shiftCalendarDate(date, [months](const QDate& d) { return d.addMonths(months); });
}

std::optional<OleDate> oleAddYears(OleDate date, int years) {
    return shiftCalendarDate(date, [years](const QDate& d) { return d.addYears(years); });
}

std::optional<std::int64_t> oleMinutesBetween(OleDate from, OleDate to) {
    const std::optional<std::int64_t> fromSeconds = oleToSeconds(from);
    const std::optional<std::int64_t> toSeconds = oleToSeconds(to);
    if (!fromSeconds || !toSeconds)
        return std::nullopt;
    return floorDiv(*toSeconds, 60) - floorDiv(*fromSeconds, 60);
}

std::optional<OleDate> oleFromDateTime(const QDateTime& dt) {
    if (!dt.isValid())
        return std::nullopt;
    const QTime time = dt.time();
    const std::optional<std::int64_t> seconds =
        secondsFromDateAndTime(dt.date(), time.hour(), time.minute(), time.second());
    if (!seconds)
        return std::nullopt;
    return oleFromSeconds(*seconds);
}

QDateTime oleToDateTime(OleDate date, Qt::TimeSpec timeSpec) {
    const std::optional<DateParts> parts = oleToParts(date);
    if (!parts)
        return {};
    return QDateTime(QDate(parts->year, parts->month, parts->day),
                     QTime(parts->hour, parts->minute, parts->second), timeSpec);
}

} // namespace nubivista::core
