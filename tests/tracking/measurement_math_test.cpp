#include "support/qstring_print.h"
#include "tracking/measurement_math.h"

#include <gtest/gtest.h>

using namespace nubivista::tracking;

namespace {

TEST(CompassPoint, SectorEdgesAreTheRoundedHalfDegrees) {
    const std::pair<int, const char*> cases[] = {
        {-1, "N"},   {0, "N"},    {21, "N"},   {22, "NE"}, {67, "NE"},  {68, "E"},   {111, "E"},
        {112, "SE"}, {157, "SE"}, {158, "S"},  {201, "S"}, {202, "SW"}, {247, "SW"}, {248, "W"},
        {291, "W"},  {292, "NW"}, {337, "NW"}, {338, "N"}, {359, "N"},  {360, ""},   {400, ""},
    };
    for (const auto& [d, text] : cases)
        EXPECT_EQ(CompassPoint(d), QString::fromLatin1(text)) << d;
}

TEST(NumberText, HalvesToEvenWithoutLeadingZeroOrTrailingPointZero) {
    const std::tuple<double, int, const char*> cases[] = {
        {0.5, 0, "0"},    {1.5, 0, "2"},      {2.5, 0, "2"},       {24.5, 0, "24"},
        {25.5, 0, "26"},  {12.25, 1, "12.2"}, {12.45f, 1, "12.4"}, {3.75, 1, "3.8"},
        {3.25, 1, "3.2"}, {12.0, 1, "12"},    {0.5, 1, ".5"},      {0.04, 1, "0"},
        {-0.04, 1, "0"},  {-1, 0, "-1"},      {-0.5, 1, "-.5"},    {1234.56, 1, "1234.6"},
    };
    for (const auto& [value, decimals, text] : cases)
        EXPECT_EQ(numberText(value, decimals), QString::fromLatin1(text))
            << value << " to " << decimals;
}

TEST(EtaTimeText, TwelveHourClockAndShortDate) {
    const std::pair<QDateTime, const char*> cases[] = {
        {QDateTime(QDate(2004, 5, 3), QTime(16, 7)), "4:07 PM 5/3/04"},
        {QDateTime(QDate(2004, 5, 3), QTime(0, 5)), "12:05 AM 5/3/04"},
        {QDateTime(QDate(2010, 12, 31), QTime(12, 0)), "12:00 PM 12/31/10"},
        {QDateTime(QDate(2026, 1, 9), QTime(11, 59, 59)), "11:59 AM 1/9/26"},
    };
    for (const auto& [time, text] : cases)
        EXPECT_EQ(etaTimeText(time), QString::fromLatin1(text));
    EXPECT_EQ(etaTimeText(QDateTime(QDate(2004, 5, 3), QTime(9, 30)), u'.'), "9:30 AM 5.3.04");
}

} // namespace
