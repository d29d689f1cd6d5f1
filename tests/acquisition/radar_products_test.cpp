#include "acquisition/radar_products.h"

#include <gtest/gtest.h>

using namespace nubivista::acquisition;

namespace {

struct ChoiceCase {
    int index;
    bool longRange;
    const char* code;
};

// The list index and Long Range box give the product; out-of-range indexes
// fall back to base reflectivity.
TEST(ProductForChoice, FollowsTheChoiceTable) {
    const ChoiceCase cases[] = {
        {0, false, "DS.p19r0"}, {0, true, "DS.p20-r"},      {1, false, "DS.p37cr"},
        {1, true, "DS.p38cr"},  {2, false, "DS.78ohp"},     {2, true, "DS.78ohp"},
        {3, false, "DS.80stp"}, {3, true, "DS.80stp"},      {-1, false, "DS.p19r0"},
        {-1, true, "DS.p20-r"}, {7, false, "DS.p19r0"},     {7, true, "DS.p20-r"},
        {4, false, "DS.p19r0"}, {-32768, true, "DS.p20-r"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index << " long " << c.longRange);
        EXPECT_EQ(ProductForChoice(c.index, c.longRange), QLatin1String(c.code));
    }
}

TEST(ProductForChoice, OnlyTheRainfallItemsClearLongRange) {
    EXPECT_FALSE(SelectionClearsLongRange(-1));
    EXPECT_FALSE(SelectionClearsLongRange(0));
    EXPECT_FALSE(SelectionClearsLongRange(1));
    EXPECT_TRUE(SelectionClearsLongRange(2));
    EXPECT_TRUE(SelectionClearsLongRange(3));
    EXPECT_FALSE(SelectionClearsLongRange(4));
}

TEST(ProductForChoice, ListItemsAreInChoiceOrder) {
    EXPECT_EQ(ProductChoiceItems(), QStringList({"Base Reflectivity", "Composite Reflectivity",
                                                 "1-Hour Rainfall", "Storm Total"}));
}

TEST(RadarProductCodes, RangeClassesAreExactAndCaseSensitive) {
    const std::pair<const char*, RangeClass> known[] = {
        {"DS.p19r0", RangeClass::Short}, {"DS.p20-r", RangeClass::Long},
        {"DS.p37cr", RangeClass::Short}, {"DS.p38cr", RangeClass::Long},
        {"DS.78ohp", RangeClass::Short}, {"DS.80stp", RangeClass::Short},
    };
    for (const auto& [code, range] : known) {
        SCOPED_TRACE(code);
        EXPECT_EQ(RangeClassOf(QLatin1String(code)), range);
        EXPECT_EQ(RangeClassOf(QString::fromLatin1(code).toLower()),
                  std::nullopt); // every code has an upper-case "DS"
    }
    for (const char* unknown : {"", "DS.p19r", "DS.p19r00", "ds.p19r0", "DS.p21-r"}) {
        SCOPED_TRACE(unknown);
        EXPECT_EQ(RangeClassOf(QLatin1String(unknown)), std::nullopt);
    }
    for (const RadarProductCode& product : RadarProductCodes)
        EXPECT_EQ(product.code.size(), 8);
}

} // namespace
