#include "radar/addresses.h"
#include "radar/products.h"
#include "radar/site_table.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace nubivista::radar;

namespace {

using L = QLatin1String;

QString at(const char* path) {
    return QStringLiteral("http://weather.noaa.gov") + L(path);
}

TEST(NationalMap, FallsBackRoundTheRegionsAndDefaultsAnEmptySetting) {
    const char* const hosts[] = {"weather", "www.srh", "www.crh", "www.wrh", "weather"};
    for (int i = 0; i < 4; ++i) {
        const QString failed =
            QStringLiteral("http://%1.noaa.gov/radar/national.html").arg(L(hosts[i]));
        EXPECT_EQ(NextMapFallbackPage(failed.toUpper()),
                  QStringLiteral("http://%1.noaa.gov/radar/national.html").arg(L(hosts[i + 1])));
    }
    for (const char* other : {"", "http://example.org/radar/national.html",
                              "http://weather.noaa.gov/radar/national.htm"})
        EXPECT_EQ(NextMapFallbackPage(L(other)), std::nullopt) << other;

    EXPECT_EQ(NationalMapUrlOrDefault("  "), DefaultNationalMapUrl);
    EXPECT_EQ(NationalMapUrlOrDefault(QStringLiteral("http://x.org/") + QChar(u'\0')),
              DefaultNationalMapUrl);
    EXPECT_EQ(NationalMapUrlOrDefault("http://www.crh.noaa.gov/radar/national.html  "),
              "http://www.crh.noaa.gov/radar/national.html");
}

TEST(IsFeedAddress, RoutesTheRadarServersAndNothingElse) {
    for (const char* routed : {"http://weather.noaa.gov/radar/national.html",
                               "http://WWW.SRH.NOAA.GOV/", "http://www.wrh.noaa.gov/anything",
                               "http://radar01.noaa.gov/radar/latest/DS.p19r0/si.kmkx",
                               "http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif",
                               "http://weather.noaa.gov/radar/loopdata/DS.p19r0/kmkx.txt"})
        EXPECT_TRUE(IsFeedAddress(QUrl(L(routed)))) << routed;
    for (const char* direct :
         {"https://weather.noaa.gov/radar/national.html", "http://www.nws.noaa.gov/disclaimer.html",
          "http://example.org/radar/latest/DS.p19r0/si.kmkx.shtml",
          "http://example.org/?u=weather.noaa.gov/radar/", "http://notnoaa.gov/radar/x",
          "file:///tmp/radar/national.html", ""})
        EXPECT_FALSE(IsFeedAddress(QUrl(L(direct)))) << direct;
}

TEST(ParseSiteLink, AcceptsOnlyShortRangeBaseLinksWithASevenCharacterHost) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", "weather", "kmkx"},
        {"HTTP://WEATHER.NOAA.GOV/RADAR/LATEST/DS.P19R0/SI.KMKX.SHTML", "weather", "kmkx"},
        {"http://www.srh.noaa.gov/radar/latest/DS.p19r0/si.kewx.shtml", "www.srh", "kewx"},
        {"http://weather.noaa.gov/radar/latest/DS.p20-r/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather2.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://radar.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather.noaa.org/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        // a label that would move the process to another server
        {"http://a.com/?.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.km", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.k?x#.shtml", nullptr, nullptr},
        {"", nullptr, nullptr},
    };
    for (const auto& [link, hostLabel, siteCode] : cases) {
        SCOPED_TRACE(link);
        const auto site = ParseSiteLink(L(link));
        ASSERT_EQ(site.has_value(), hostLabel != nullptr);
        if (site) {
            EXPECT_EQ(site->hostLabel, L(hostLabel));
            EXPECT_EQ(site->siteCode, L(siteCode));
        }
    }
}

TEST(PageAddresses, GiveTheImageAndThePaneByTheOption) {
    // page, its image (the pane without the option), the pane with the option
    const std::tuple<QString, QString, QString> cases[] = {
        {at("/radar/latest/DS.p19r0/si.kmkx.shtml"),
         at("/radar/images/DS.p19r0/SI.kmkx/latest.gif"),
         at("/radar/latest/DS.p19r0/si.kmkx.shtml")},
        {at("/radar/loop/DS.p20-r/si.kabx.shtml"), at("/radar/images/DS.p20-r/SI.kabx/latest.gif"),
         at("/radar/latest/DS.p20-r/si.kabx.shtml")},
        {at("/radar/Loop/DS.80stp/Si.klot.Shtml"), at("/radar/images/DS.80stp/SI.klot/latest.gif"),
         at("/radar/latest/DS.80stp/Si.klot.Shtml")},
        // only the first occurrence of each is rewritten
        {at("/radar/latest/DS.p19r0/si.kmkx.shtml?latest.shtml"),
         at("/radar/images/DS.p19r0/SI.kmkx/latest.gif?latest.shtml"),
         at("/radar/latest/DS.p19r0/si.kmkx.shtml?latest.shtml")},
        // host names are never rewritten
        {"http://loopsrv.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml",
         "http://loopsrv.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif",
         "http://loopsrv.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml"},
        {"http://x.shtml.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml",
         "http://x.shtml.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif",
         "http://x.shtml.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml"},
        // an address without a scheme, holding one in its query
        {"weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml?from=http://a/",
         "weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif?from=http://a/",
         "weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml?from=http://a/"},
    };
    for (const auto& [page, image, pageOption] : cases) {
        SCOPED_TRACE(page.toStdString());
        EXPECT_EQ(SiteImageUrl(page), image);
        EXPECT_EQ(PaneUrl(page, false), image);
        EXPECT_EQ(PaneUrl(page, true), pageOption);
    }
}

TEST(LoopPageUrlFromPaneUrl, TurnsEitherPaneFormBackIntoTheLoopPage) {
    EXPECT_EQ(LoopPageUrlFromPaneUrl(at("/radar/IMAGES/DS.p19r0/si.kmkx/LATEST.GIF"), false),
              at("/radar/loop/DS.p19r0/si.kmkx.shtml"));
    EXPECT_EQ(LoopPageUrlFromPaneUrl(
                  "http://images.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif", false),
              "http://images.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml");
    // Every product and either option: a restart finds the page the process began with.
    for (const RadarProductCode& product : RadarProductCodes) {
        const QString loopPage = SitePageUrl("weather", product.code, "kmkx", true);
        for (const bool option : {false, true})
            EXPECT_EQ(LoopPageUrlFromPaneUrl(PaneUrl(loopPage, option), option), loopPage)
                << loopPage.toStdString() << " option " << option;
    }
}

TEST(RecognizeProduct, ReadsTheCodeSevenCharactersAfterTheRadarPath) {
    for (const RadarProductCode& product : RadarProductCodes) {
        const QString code = product.code;
        SCOPED_TRACE(code.toStdString());
        const bool longRange = product.range == RangeClass::Long;
        const QString page = SitePageUrl("weather", code, "kmkx", false);
        for (const QString& address :
             {page, SiteImageUrl(page), page.toUpper().replace(code.toUpper(), code)}) {
            const auto found = RecognizeProduct(address);
            ASSERT_TRUE(found.has_value()) << address.toStdString();
            EXPECT_EQ(found->productCode, code);
            EXPECT_EQ(found->longRange, longRange);
            EXPECT_EQ(found->mapScale, longRange ? MapScaleChoice::Long : MapScaleChoice::Short);
        }
    }
    for (const char* refused : {
             "/radar/latest/DS.p21-r/si.kmkx.shtml",
             "/radar/latest/ds.p19r0/si.kmkx.shtml", // codes are case-sensitive
             "/radar/loop/DS.p19r0/si.kmkx.shtml",   // the offset is for latest and images
             "/radar/latest/DS.p19r",
         })
        EXPECT_EQ(RecognizeProduct(at(refused)), std::nullopt) << refused;
    EXPECT_EQ(RecognizeProduct("http://example.com/radar/latest/DS.p19r0/si.kmkx.shtml"),
              std::nullopt);
}

TEST(AddressesFromStoredUrl, GivesPageAndImageFormsByTheOption) {
    const char* const image = "/radar/images/DS.p19r0/SI.kmkx/latest.gif";
    const char* const page = "/radar/latest/DS.p19r0/si.kmkx.shtml";
    // stored address, option, pane (the image is always the image form)
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"/radar/latest/DS.p19r0/SI.kmkx.shtml", false, image},
        {page, true, page},
        {image, false, image},
        {image, true, page},
        {"/radar/images/DS.p19r0/si.kmkx/Latest.Gif", true, page},
        // a loop page saved while a back-dated start was loading
        {"/radar/loop/DS.p19r0/si.kmkx.shtml", true, page},
        {"/radar/loop/DS.p19r0/si.kmkx.shtml", false, image},
    };
    for (const auto& [stored, option, pane] : cases) {
        SCOPED_TRACE(testing::Message() << stored << " option " << option);
        const ProcessAddresses found = AddressesFromStoredUrl(at(stored), option);
        EXPECT_EQ(found.paneUrl, at(pane));
        EXPECT_EQ(found.siteImageUrl.toLower(), at(image).toLower());
        EXPECT_TRUE(RecognizeProduct(found.paneUrl).has_value());
    }
}

TEST(RadarAddresses, OddAddressesAreHandledWithoutReadingPastTheText) {
    const QString odd[] = {
        QString(),
        "http://",
        "/SI.k",
        "si..shtml",
        "noaa.gov/radar/latest/",
        "http://weather.noaa.gov/radar/latest/ds.p19r0/si.",
        QString::fromUtf8("HTTP://İİİİİİİ.NOAA.GOV/RADAR/LATEST/DS.P19R0/SI.İİİİ.SHTML"),
        QString(QChar(u'\0')) + "noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml",
        QString(5000, u'/') + "si.",
        QStringLiteral("http://weather.noaa.gov/radar/loop/") + QString(100000, u'x'),
        QString(QChar(0xD800)) + "noaa.gov/radar/latest/" + QChar(0xDC00),
    };
    for (const QString& address : odd) {
        SCOPED_TRACE(address.left(80).toStdString());
        const auto site = ParseSiteLink(address);
        EXPECT_EQ(site ? site->hostLabel.size() + site->siteCode.size() : 11, 11);
        for (const bool option : {false, true}) {
            (void)PaneUrl(address, option);
            (void)LoopPageUrlFromPaneUrl(address, option);
            (void)AddressesFromStoredUrl(address, option);
        }
        EXPECT_TRUE(LoopListUrl(address).value_or(".txt").endsWith(".txt"));
        EXPECT_EQ(SiteCodeFromPaneUrl(address).value_or("kmkx").size(), 4);
        const auto product = RecognizeProduct(address);
        EXPECT_TRUE(!product || RangeClassOf(product->productCode).has_value());
    }
}

TEST(SiteTable, EverySiteStandsWhereTheStationListPutsIt) {
    const SiteRow* lsx = FindSite(QStringLiteral("KLSX"));
    ASSERT_NE(lsx, nullptr);
    EXPECT_NEAR(lsx->latitude, 38.699, 0.001);
    EXPECT_NEAR(lsx->longitude, -90.683, 0.001);
    EXPECT_EQ(lsx->stationTitle(), QStringLiteral("KLSX - ST LOUIS, MO"));
    // Every radar lies in the territory the program covers: from Korea and Guam
    // to Puerto Rico, between the tropics and Alaska; map links carry its code
    // in four letters.
    for (const SiteRow& row : SiteTable()) {
        EXPECT_TRUE(row.latitude > 13 && row.latitude < 66) << row.code.data();
        EXPECT_TRUE((row.longitude > -170 && row.longitude < -65) || row.longitude > 126)
            << row.code.data();
        EXPECT_EQ(row.state.size(), 2) << row.code.data();
        EXPECT_EQ(row.code.size(), 4) << row.code.data();
    }

    // After the first 154, the rest of the WSR-88D network and the airport
    // radars, in the order and at the places of the station list.
    QFile list(QStringLiteral(NUBIVISTA_SOURCE_DIR "/tests/data/radar/other_sites.tsv"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
    std::size_t index = 154;
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QList<QByteArray> field = line.split('\t');
        if (line.startsWith('#') || field.size() != 4)
            continue;
        ASSERT_LT(index, SiteTable().size()) << line.constData();
        const SiteRow& row = SiteTable()[index++];
        EXPECT_EQ(row.code, L(field[0])) << line.constData();
        EXPECT_EQ(row.type == RadarType::Tdwr, field[1] == "tdwr") << line.constData();
        EXPECT_NEAR(row.latitude, field[2].toDouble(), 0.01) << line.constData();
        EXPECT_NEAR(row.longitude, field[3].toDouble(), 0.01) << line.constData();
        EXPECT_TRUE(row.description.startsWith(QString(row.code).toUpper() + " - "));
    }
    EXPECT_EQ(index, SiteTable().size());
    EXPECT_EQ(index, 154 + 51u);
}

} // namespace
