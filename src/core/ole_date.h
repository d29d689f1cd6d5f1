#pragma once
// Date-time values as the program stores them: days since 1899-12-30 00:00
// with the time of day as the fraction (before that day the whole part counts
// back while the fraction still counts forward). Everything here works at
// one-second resolution: splitting a value rounds it to the nearest second,
// building one from a QDateTime drops the milliseconds.
#include <QDateTime>
#include <cstdint>
#include <optional>

namespace nubivista::core {

using OleDate = double;

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 7; // Sunday = 1 .. Saturday = 7; ignored when building a date

    friend bool operator==(const DateParts&, const DateParts&) = default;
};

// The representable range: 100-01-01 00:00:00 to 9999-12-31 23:59:59.
bool isValidOleDate(OleDate date);

// Seconds since 1899-12-30 00:00 (negative before), or nullopt out of range.
std::optional<std::int64_t> oleToSeconds(OleDate date);
std::optional<OleDate> oleFromSeconds(std::int64_t seconds);

std::optional<DateParts> oleToParts(OleDate date);
// Builds a date from calendar parts; nullopt when a part is out of its range.
std::optional<OleDate> oleFromParts(const DateParts& parts);
std::optional<OleDate> oleFromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                    int second = 0);

// Adds minutes (may be negative or fractional; the result is rounded to the
// second).
std::optional<OleDate> oleAddMinutes(OleDate date, double minutes);
// Calendar months and years: the day is cut to the last day of the target month
// (Jan 31 plus one month is Feb 28 or 29); the time of day is kept.
std::optional<OleDate> oleAddMonths(OleDate date, int months);
std::optional<OleDate> oleAddYears(OleDate date, int years);

// Whole minutes from `from` to `to`, counted as minute boundaries crossed
// (10:00:59 to 10:01:00 is one minute, 10:00:00 to 10:00:59 none).
std::optional<std::int64_t> oleMinutesBetween(OleDate from, OleDate to);

// The calendar fields of dt in its own time zone; no zone change.
std::optional<OleDate> oleFromDateTime(const QDateTime& dt);
// The value's calendar fields as a QDateTime in timeSpec (Qt::LocalTime or
// Qt::UTC); an invalid QDateTime when out of range or, for local time, when
// the time falls in a daylight-saving gap.
QDateTime oleToDateTime(OleDate date, Qt::TimeSpec timeSpec = Qt::LocalTime);

} // namespace nubivista::core
