#pragma once
// Conversions between date-time values and file times (100-nanosecond steps
// since 1601-01-01 UTC), local time and UTC, by the system's time-zone rules in
// force at the date converted (the TZ variable is honoured). They never fail
// loudly: a value that cannot be converted gives the failure value, the local
// now minus 10 calendar years, which callers treat as an unusable time.
#include "core/clock.h"
#include "core/ole_date.h"

#include <QTimeZone>
#include <cstdint>

namespace nubivista::core {

using FileTime = std::int64_t;

// The local now minus 10 calendar years, to the second.
OleDate timeFailureValue(const Clock& clock);

// A UTC file time as a local date-time value.
OleDate FileTimeToLocDate(FileTime fileTime, const Clock& clock);

// The file time of the same calendar date and time, no zone change; 0 when t
// is not a date or lies before 1601.
FileTime DateToFileTime(OleDate t);

// A local date-time value as UTC. A local time that does not exist (skipped
// when clocks go forward) gives the failure value. A time that occurs twice
// (when clocks go back) is taken as the second of the two, in standard time.
OleDate LocDateToUtcDate(OleDate t, const Clock& clock);

// A UTC date-time value shown as local time.
OleDate utcToLocal(OleDate t, const Clock& clock);

// The system's time zone, or UTC when it cannot be read (as the C library does
// with an unknown TZ).
QTimeZone localTimeZone();

} // namespace nubivista::core
