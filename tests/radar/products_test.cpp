#include "radar/products.h"

#include <gtest/gtest.h>

using namespace nubivista::radar;

// The list index and Long Range box give the product; out-of-range indexes
// fall back to base reflectivity, and the rainfall items clear Long Range.
TEST(ProductForChoice, FollowsTheChoiceTable) {
    const std::tuple<int, const char*, const char*> cases[] = {
        // index, Long Range unchecked, checked
        {0, "DS.p19r0", "DS.p20-r"},      {1, "DS.p37cr", "DS.p38cr"},  {2, "DS.78ohp", "DS.78ohp"},
        {3, "DS.80stp", "DS.80stp"},      {-1, "DS.p19r0", "DS.p20-r"}, {4, "DS.p19r0", "DS.p20-r"},
        {-32768, "DS.p19r0", "DS.p20-r"},
    };
    for (const auto& [index, shortCode, longCode] : cases) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ProductForChoice(index, false), QLatin1String(shortCode));
        EXPECT_EQ(ProductForChoice(index, true), QLatin1String(longCode));
        EXPECT_EQ(SelectionClearsLongRange(index), index == 2 || index == 3);
    }
}
