// Date-time values: the day count, calendar parts, calendar arithmetic and the
// whole-minute difference, all at one-second resolution.
#include "core/ole_date.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace nubivista::core;

namespace {
constexpr double kSecond = 1.0 / 86400;

OleDate at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    const std::optional<OleDate> v = oleFromParts(y, mo, d, h, mi, s);
    EXPECT_TRUE(v.has_value()) << y << "-" << mo << "-" << d;
    return v.value_or(std::numeric_limits<double>::quiet_NaN());
}
} // namespace

TEST(OleDate, DayNumbersAndCalendarParts) {
    struct Case {
        OleDate value;
        DateParts parts;
    };
    const Case cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0, 7}},
        {2.0, {1900, 1, 1, 0, 0, 0, 2}},
        {36526.0, {2000, 1, 1, 0, 0, 0, 7}},
        {36527.75, {2000, 1, 2, 18, 0, 0, 1}},
        {45458.5, {2024, 6, 15, 12, 0, 0, 7}},
        // Before the epoch the whole part counts back, the fraction forward.
        {-1.25, {1899, 12, 29, 6, 0, 0, 6}},
        {-657434.0, {100, 1, 1, 0, 0, 0, 6}},
        {2958465.0 + 86399 * kSecond, {9999, 12, 31, 23, 59, 59, 6}},
    };
    for (const Case& c : cases) {
        const std::optional<DateParts> parts = oleToParts(c.value);
        ASSERT_TRUE(parts.has_value()) << c.value;
        EXPECT_EQ(*parts, c.parts) << c.value;
        const std::optional<OleDate> back = oleFromParts(c.parts);
        ASSERT_TRUE(back.has_value()) << c.value;
        EXPECT_NEAR(*back, c.value, 1e-9) << c.value;
    }
}

TEST(OleDate, SplittingRoundsToTheNearestSecond) {
    const OleDate noon = at(2024, 6, 15, 12);
    EXPECT_EQ(oleToParts(noon + 0.4 * kSecond)->second, 0);
    EXPECT_EQ(oleToParts(noon + 0.6 * kSecond)->second, 1);
    EXPECT_EQ(oleToParts(noon - 0.4 * kSecond)->second, 0);
    // Half a second before midnight rounds into the next day.
    const DateParts next = *oleToParts(at(2024, 12, 31) + 1.0 - 0.4 * kSecond);
    EXPECT_EQ(next, (DateParts{2025, 1, 1, 0, 0, 0, 4}));
}

TEST(OleDate, InvalidValuesAndPartsAreRefused) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -1e300,
                          1e20,
                          -657435.0,
                          2958466.0};
    for (double v : bad) {
        EXPECT_FALSE(isValidOleDate(v)) << v;
        EXPECT_FALSE(oleToParts(v).has_value()) << v;
        EXPECT_FALSE(oleAddMinutes(v, 1).has_value()) << v;
    }
    EXPECT_FALSE(oleFromParts(2023, 2, 29).has_value());
    EXPECT_FALSE(oleFromParts(2024, 13, 1).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 24).has_value());
    EXPECT_FALSE(oleFromParts(2024, 1, 1, 0, 60).has_value());
    EXPECT_FALSE(oleFromParts(10000, 1, 1).has_value());
    EXPECT_FALSE(oleFromParts(99, 12, 31).has_value());
    EXPECT_FALSE(oleAddMinutes(at(2024, 1, 1), std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(oleAddMinutes(at(9999, 12, 31, 23, 59), 1).has_value());
}

TEST(OleDate, AddMinutesCrossesHoursDaysAndYears) {
    struct Case {
        OleDate from;
        double minutes;
        OleDate to;
    };
    const Case cases[] = {
        {at(2023, 12, 31, 23, 59), 1, at(2024, 1, 1)},
        {at(2024, 1, 1), -1, at(2023, 12, 31, 23, 59)},
        {at(2024, 2, 28, 23, 30), 60, at(2024, 2, 29, 0, 30)},
        {at(2024, 6, 15, 14, 7), -5, at(2024, 6, 15, 14, 2)},
        {at(2024, 6, 15, 14, 7), 1.5, at(2024, 6, 15, 14, 8, 30)},
        {at(2024, 6, 15, 14, 7), -0.25, at(2024, 6, 15, 14, 6, 45)},
        {0.0, -1, at(1899, 12, 29, 23, 59)},
        {at(1899, 12, 29, 23, 59), 1, 0.0},
    };
    for (const Case& c : cases) {
        const std::optional<OleDate> result = oleAddMinutes(c.from, c.minutes);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(oleToParts(*result), oleToParts(c.to)) << c.from << " + " << c.minutes;
    }
}

TEST(OleDate, AddMonthsAndYearsByCalendar) {
    struct Case {
        OleDate from;
        int months;
        OleDate to;
    };
    const Case monthCases[] = {
        {at(2024, 1, 31, 8, 15, 30), 1, at(2024, 2, 29, 8, 15, 30)},
        {at(2023, 1, 31), 1, at(2023, 2, 28)},
        {at(2024, 3, 31), -1, at(2024, 2, 29)},
        {at(2024, 12, 15, 23, 0), 1, at(2025, 1, 15, 23, 0)},
        {at(2024, 5, 31), -120, at(2014, 5, 31)},
    };
    for (const Case& c : monthCases)
        EXPECT_EQ(oleToParts(*oleAddMonths(c.from, c.months)), oleToParts(c.to)) << c.from;

    EXPECT_EQ(oleToParts(*oleAddYears(at(2024, 2, 29, 10, 20, 30), -10)),
              oleToParts(at(2014, 2, 28, 10, 20, 30)));
    EXPECT_EQ(oleToParts(*oleAddYears(at(2024, 2, 29), 4)), oleToParts(at(2028, 2, 29)));
    EXPECT_FALSE(oleAddYears(at(9999, 1, 1), 1).has_value());
}

TEST(OleDate, MinutesBetweenCountsMinuteBoundaries) {
    struct Case {
        OleDate from;
        OleDate to;
        std::int64_t minutes;
    };
    const Case cases[] = {
        {at(2024, 6, 15, 10, 0, 59), at(2024, 6, 15, 10, 1, 0), 1},
        {at(2024, 6, 15, 10, 0, 0), at(2024, 6, 15, 10, 0, 59), 0},
        {at(2024, 6, 15, 10, 1, 0), at(2024, 6, 15, 10, 0, 59), -1},
        {at(2024, 6, 15, 23, 58), at(2024, 6, 16, 0, 2), 4},
        {at(2023, 12, 31), at(2024, 1, 1), 1440},
        {at(1899, 12, 29, 23, 59, 30), at(1899, 12, 30, 0, 0, 10), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(oleMinutesBetween(c.from, c.to), c.minutes) << c.from << " .. " << c.to;
    EXPECT_FALSE(oleMinutesBetween(std::nan(""), 0).has_value());
}

TEST(OleDate, QDateTimeKeepsCalendarFieldsAndDropsMilliseconds) {
    const QDateTime local(QDate(2024, 6, 15), QTime(12, 34, 56, 999), Qt::LocalTime);
    EXPECT_EQ(oleToParts(*oleFromDateTime(local)), (DateParts{2024, 6, 15, 12, 34, 56, 7}));

    const QDateTime utc = oleToDateTime(at(2024, 6, 15, 12, 34, 56), Qt::UTC);
    EXPECT_EQ(utc, QDateTime(QDate(2024, 6, 15), QTime(12, 34, 56), Qt::UTC));
    EXPECT_FALSE(oleToDateTime(std::nan("")).isValid());
    EXPECT_FALSE(oleFromDateTime(QDateTime()).has_value());
}
