#include "qstring_print.h"
#include "tracking/measurement_math.h"

#include <gtest/gtest.h>

using namespace nubivista::tracking;

namespace {

TEST(ComputeDirection, BearingsClockwiseFromNorthRoundingUpTo360) {
    // From (120, 45); y grows downward on the picture; the same point has none.
    const std::tuple<float, float, int> cases[] = {
        {0, -10, 0},   {10, 0, 90},    {0, 10, 180},    {-10, 0, 270},     {10, -10, 45},
        {10, 10, 135}, {-10, 10, 225}, {-10, -10, 315}, {1000, -1732, 30}, {-1, -200, 360},
        {1, -200, 0},  {200, -1, 90},  {0, 0, -1},
    };
    for (const auto& [dx, dy, degrees] : cases)
        EXPECT_EQ(ComputeDirection(120, 45, 120 + dx, 45 + dy).degrees, degrees)
            << "by (" << dx << ", " << dy << ")";
}

TEST(CompassPoint, SectorEdgesAreTheRoundedHalfDegrees) {
    const std::pair<int, const char*> cases[] = {
        {-1, "N"},   {0, "N"},    {21, "N"},   {22, "NE"}, {67, "NE"},  {68, "E"},   {111, "E"},
        {112, "SE"}, {157, "SE"}, {158, "S"},  {201, "S"}, {202, "SW"}, {247, "SW"}, {248, "W"},
        {291, "W"},  {292, "NW"}, {337, "NW"}, {338, "N"}, {359, "N"},  {360, ""},   {400, ""},
    };
    for (const auto& [d, text] : cases)
        EXPECT_EQ(CompassPoint(d), QString::fromLatin1(text)) << d;
}

TEST(MeasuredDistance, ScaleZoomAndUnitWithItsLabel) {
    const float scale = 30.2787f; // twips per mile
    const std::tuple<float, float, float, const char*> cases[] = {
        {scale, 1, 1, "1 Mi"},     {scale / 2, 1, 1, "2 Mi"},       {scale, 2, 1, ".5 Mi"},
        {scale / 2, 2, 1, "1 Mi"}, {scale, 1, 1.609344f, "1.6 Km"}, {scale, 1, 0.8689762f, ".9 Nm"},
    };
    for (auto [scaleActive, zoom, unit, text] : cases)
        EXPECT_EQ(numberText(measuredDistance(scale, 0, scaleActive, zoom, unit), 1) + u' ' +
                      unitLabel(unit),
                  QString::fromLatin1(text))
            << scaleActive << " zoom " << zoom << " unit " << unit;
    EXPECT_FLOAT_EQ(measuredDistance(3 * scale, 4 * scale, scale, 1, 1), 5);
    float zero = 0.0f;
    EXPECT_EQ(unitLabel(zero), "Mi");
    EXPECT_EQ(zero, 1.0f) << "a zero factor is repaired";
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
