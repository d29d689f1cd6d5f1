// Date-time values: the day count and calendar parts, at one-second
// resolution.
#include "core/ole_date.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace nubivista::core;

namespace {
constexpr double kSecond = 1.0 / 86400;

OleDate at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return oleFromParts(y, mo, d, h, mi, s).value_or(std::nan(""));
}
} // namespace

TEST(OleDate, DayNumbersAndCalendarPartsBothWays) {
    struct Case {
        OleDate value;
        DateParts parts;
    };
    const Case cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0, 7}},
        {36527.75, {2000, 1, 2, 18, 0, 0, 1}},
        {45458.5, {2024, 6, 15, 12, 0, 0, 7}},
        // Before the epoch the whole part counts back, the fraction forward.
        {-1.25, {1899, 12, 29, 6, 0, 0, 6}},
        {-657434.0, {100, 1, 1, 0, 0, 0, 6}},
        {2958465.0 + 86399 * kSecond, {9999, 12, 31, 23, 59, 59, 6}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oleToParts(c.value), c.parts) << c.value;
        EXPECT_NEAR(oleFromParts(c.parts).value_or(NAN), c.value, 1e-9) << c.value;
    }
    // Splitting rounds to the nearest second, into the next day if need be.
    const OleDate noon = at(2024, 6, 15, 12);
    EXPECT_EQ(oleToParts(noon + 0.4 * kSecond)->second, 0);
    EXPECT_EQ(oleToParts(noon + 0.6 * kSecond)->second, 1);
    EXPECT_EQ(oleToParts(at(2025, 1, 1) - 0.4 * kSecond), (DateParts{2025, 1, 1, 0, 0, 0, 4}));
    // A QDateTime gives its calendar fields without the milliseconds.
    const QDateTime local(QDate(2024, 6, 15), QTime(12, 34, 56, 999), Qt::LocalTime);
    EXPECT_EQ(oleToParts(*oleFromDateTime(local)), (DateParts{2024, 6, 15, 12, 34, 56, 7}));
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
    EXPECT_FALSE(oleAddYears(at(9999, 1, 1), 1).has_value());
}
