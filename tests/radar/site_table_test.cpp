#include "radar/site_table.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace nubivista::radar;

namespace {

// The national map's site list, in its own order.
const char* const MapOrder =
    "paec pabc pakc pahg paih pacg papd pgua tjua katx kotx kpdt krtx kmax kbhx kbbx kdax kmux "
    "krgx klrx kcbx kmsx ktfx ksfx kmtx kicx kesx keyx khnx kvbx kvtx ksox knkx phwa phkm phmo "
    "phki kyux kemx kiwa kfsx kgjx kriw kblx kggw kmbx kbis kabr kmvx kudx kfsd kmpx kdlh kmqt "
    "kgrb karx kdmx koax kuex klnx kcys kftg kpux kabx khdx kepz kfdx kama klbb kmaf ksjt kdyx "
    "kfws kgrk kewx kdfx kcrp kbro khgx klch kpoe kshv kfdr ktlx kinx kvnx kddc kgld kict ktwx "
    "keax ksgf ksrx klzk kdvn kgrr kapx kdtx kcle kpbz kccx kbuf kbgm ktyx kenx kcxx kgyx kcbw "
    "kbox kokx kdix kdox klwx kiwx kind kilx klsx kpah klvx khpx kohx khtx knqa kgwx kdgx klix "
    "kmob kevx keox kmxx kbmx kffc kjgx kvax ktlh ktbw kbyx kamx kmlb kjax kclx kcae kgsp kmrx "
    "kjkl kiln krlx kfcx krax kakq kmhx kltx kmkx kvwx";

} // namespace

TEST(SiteTable, HoldsEverySiteInMapOrderWithItsCodeBeforeThePlace) {
    const QStringList expected = QString::fromLatin1(MapOrder).split(u' ');
    const auto table = SiteTable();
    ASSERT_EQ(table.size(), 154u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const QString code = table[i].code;
        EXPECT_EQ(code, expected[qsizetype(i)]) << "row " << i + 1;
        const QString description = table[i].description;
        EXPECT_TRUE(description.startsWith(code.toUpper() + QLatin1String(" - ")));
        EXPECT_GT(description.size(), 7) << code.toStdString() << ": a place follows the code";
    }
}

TEST(SiteDescriptionFor, KeepsTheTraditionalTextsAndIgnoresCase) {
    const std::pair<const char*, const char*> rows[] = {
        {"paec", "PAEC - Nome, AK"},
        {"pakc", "PAKC - King Salmon"},
        {"pgua", "PGUA - Anderson AFB, Guam"},
        {"tjua", "TJUA - Puerto Rico/Virgin Islands"},
        {"kmux", "KMUX - San Francisco Bay Area, CA"},
        {"kgrk", "KGRK - Central Texas"},
        {"keax", "KEAX - Kansas City/Pleasant Hill, MO"},
        {"ksrx", "KSRX - Western Arkansas/Ft. Smith, AR"},
        {"kbis", "KBIS - Bismark, ND"},
        {"kccx", "KCCX - State Collegea, PA"},
        {"khtx", "KHTX - Northern Alabama"},
        {"kevx", "KEVX - Northwest Florida"},
        {"kvwx", "KVWX - Evansville, IN"},
        {"KMKX", "KMKX - Milwaukee, WI"},
        {"kmkx", "KMKX - Milwaukee, WI"},
        {"KmKx", "KMKX - Milwaukee, WI"},
    };
    for (const auto& [code, description] : rows)
        EXPECT_EQ(SiteDescriptionFor(QLatin1String(code)), QLatin1String(description));
    for (const char* unknown : {"", "klot", "kmk", "kmkxx", " kmkx"})
        EXPECT_TRUE(SiteDescriptionFor(QLatin1String(unknown)).isEmpty()) << unknown;
}

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
