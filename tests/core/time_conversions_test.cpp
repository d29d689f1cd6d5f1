// Date-time values: the calendar parts they refuse, local time and UTC under
// real time-zone rules with daylight saving, and the failure value that
// stands for an unusable time.
#include "core/ole_date.h"
#include "core/time_routines.h"
#include "support/scoped_time_zone.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

using namespace nubivista::core;

namespace {

using nubivista::testing::ScopedTimeZone;

OleDate at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return oleFromParts(y, mo, d, h, mi, s).value_or(std::nan(""));
}

auto parts(OleDate t) {
    return oleToParts(t);
}

const ManualClock& fixedClock() {
    static const ManualClock clock(QDateTime(QDate(2024, 6, 15), QTime(9, 30, 15, 500)), 0);
    return clock;
}

OleDate failureValue() {
    return at(2014, 6, 15, 9, 30, 15);
}

} // namespace

TEST(TimeFailureValue, TenCalendarYearsBeforeNowForWhatCannotBeConverted) {
    const ManualClock leapDay(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)), 0);
    EXPECT_EQ(parts(timeFailureValue(leapDay)), parts(at(2014, 2, 28, 23, 59, 59)));

    const ScopedTimeZone tz("America/Chicago");
    for (const double bad : {std::nan(""), double(INFINITY), 1e15, at(1500, 6, 1)}) {
        EXPECT_EQ(parts(LocDateToUtcDate(bad, fixedClock())), parts(failureValue())) << bad;
        EXPECT_EQ(parts(utcToLocal(bad, fixedClock())), parts(failureValue())) << bad;
    }
    // Negative, past year 9999, and 1601-01-01 UTC which is still 1600 here.
    for (FileTime bad : {FileTime{-1}, FileTime{0x7FFFFFFFFFFFFFFF}, FileTime{0}})
        EXPECT_EQ(parts(FileTimeToLocDate(bad, fixedClock())), parts(failureValue())) << bad;
    {
        const ScopedTimeZone utc("UTC");
        EXPECT_EQ(parts(FileTimeToLocDate(FileTime{0}, fixedClock())), parts(at(1601, 1, 1)))
            << "where the first file time is still 1601";
    }
}

TEST(LocDateToUtcDate, AcrossBothDaylightSavingChangesInTwoZones) {
    struct Case {
        const char* zone;
        OleDate local;
        OleDate utc;
    };
    const char* const chicago = "America/Chicago";
    const char* const berlin = "Europe/Berlin";
    const Case cases[] = {
        {chicago, at(2024, 1, 15, 12), at(2024, 1, 15, 18)},               // CST, UTC-6
        {chicago, at(2024, 7, 15, 12), at(2024, 7, 15, 17)},               // CDT, UTC-5
        {chicago, at(2024, 3, 10, 1, 59, 59), at(2024, 3, 10, 7, 59, 59)}, // last second of CST
        {chicago, at(2024, 3, 10, 3), at(2024, 3, 10, 8)},                 // first of CDT
        {chicago, at(2024, 3, 10, 2, 30), failureValue()},                 // does not exist
        {chicago, at(2024, 11, 3, 1, 30), at(2024, 11, 3, 7, 30)},         // twice: standard
        {chicago, at(2024, 12, 31, 20), at(2025, 1, 1, 2)},                // into the next year
        {berlin, at(2024, 1, 15, 12), at(2024, 1, 15, 11)},                // CET, UTC+1
        {berlin, at(2024, 7, 15, 12), at(2024, 7, 15, 10)},                // CEST, UTC+2
        {berlin, at(2024, 3, 31, 1, 59, 59), at(2024, 3, 31, 0, 59, 59)},
        {berlin, at(2024, 3, 31, 2, 30), failureValue()},
        {berlin, at(2024, 10, 27, 2, 30), at(2024, 10, 27, 1, 30)},
        {berlin, at(2024, 1, 1, 0, 30), at(2023, 12, 31, 23, 30)}, // into the previous year
    };
    for (const Case& c : cases) {
        const ScopedTimeZone tz(c.zone);
        EXPECT_EQ(parts(LocDateToUtcDate(c.local, fixedClock())), parts(c.utc))
            << c.zone << " " << c.local;
    }
}

TEST(OleDate, InvalidValuesAndPartsAreRefused) {
    for (double v :
         {std::nan(""), std::numeric_limits<double>::infinity(), -1e300, -657435.0, 2958466.0}) {
        EXPECT_FALSE(oleToParts(v).has_value()) << v;
        EXPECT_FALSE(oleAddMinutes(v, 1).has_value()) << v;
        EXPECT_FALSE(oleMinutesBetween(v, 0).has_value()) << v;
    }
    EXPECT_FALSE(oleFromParts(2023, 2, 29).has_value());
    // Each part out of its range, one at a time.
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 24).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, -1).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 0, 60).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 0, -1).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 0, 0, 60).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 0, 0, -1).has_value());
    EXPECT_TRUE(oleFromParts(2024, 1, 1, 23, 59, 59).has_value());
    EXPECT_FALSE(oleFromParts(10000, 1, 1).has_value());
    EXPECT_FALSE(oleAddMinutes(at(2024, 1, 1), std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(oleAddMinutes(at(9999, 12, 31, 23, 59), 1).has_value());
    EXPECT_TRUE(oleAddMinutes(at(9999, 12, 31, 23, 58), 1).has_value()) << "the last minute";
    EXPECT_TRUE(oleToParts(at(100, 1, 1)).has_value()) << "the first day";
    EXPECT_FALSE(oleAddYears(at(9999, 1, 1), 1).has_value());
}
