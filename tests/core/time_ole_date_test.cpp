// Date-time values: the day count and calendar parts, at one-second
// resolution.
#include "core/ole_date.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace nubivista::core;

namespace {

OleDate at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return oleFromParts(y, mo, d, h, mi, s).value_or(std::nan(""));
}
} // namespace

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
