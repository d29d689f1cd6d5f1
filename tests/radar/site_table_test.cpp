#include "radar/site_table.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace nubivista::radar;

TEST(SiteTable, EverySiteStandsWhereTheStationListPutsIt) {
    const SiteRow* lsx = FindSite(QStringLiteral("KLSX"));
    ASSERT_NE(lsx, nullptr);
    EXPECT_NEAR(lsx->latitude, 38.699, 0.001);
    EXPECT_NEAR(lsx->longitude, -90.683, 0.001);
    EXPECT_EQ(lsx->stationTitle(), QStringLiteral("KLSX - ST LOUIS, MO"));
    // Every radar lies in the territory the program covers: from Guam to
    // Puerto Rico, between the tropics and Alaska.
    for (const SiteRow& row : SiteTable()) {
        EXPECT_TRUE(row.latitude > 13 && row.latitude < 66) << row.code.data();
        EXPECT_TRUE((row.longitude > -170 && row.longitude < -65) || row.longitude > 144)
            << row.code.data();
        EXPECT_EQ(row.state.size(), 2) << row.code.data();
    }
}
