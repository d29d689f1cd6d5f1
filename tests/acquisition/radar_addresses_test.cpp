#include "acquisition/radar_addresses.h"
#include "acquisition/radar_products.h"

#include <gtest/gtest.h>

using namespace nubivista::acquisition;

namespace {

const QString Host = QStringLiteral("http://weather.noaa.gov");

QString at(const char* path) {
    return Host + QLatin1String(path);
}

// --- national map -----------------------------------------------------------

TEST(MapFallbackRing, WalksTheRegionsAndWrapsAfterWestern) {
    EXPECT_EQ(QString(MapFallbackRing[0]), QString(DefaultNationalMapUrl));
    const std::pair<const char*, const char*> steps[] = {
        {"http://weather.noaa.gov/radar/national.html",
         "http://www.srh.noaa.gov/radar/national.html"},
        {"http://www.srh.noaa.gov/radar/national.html",
         "http://www.crh.noaa.gov/radar/national.html"},
        {"http://www.crh.noaa.gov/radar/national.html",
         "http://www.wrh.noaa.gov/radar/national.html"},
        {"http://www.wrh.noaa.gov/radar/national.html",
         "http://weather.noaa.gov/radar/national.html"},
        {"HTTP://WWW.WRH.NOAA.GOV/Radar/National.html",
         "http://weather.noaa.gov/radar/national.html"},
    };
    for (const auto& [failed, next] : steps)
        EXPECT_EQ(NextMapFallbackPage(QLatin1String(failed)), QString(QLatin1String(next)))
            << failed;
    for (const char* other : {"", "http://example.org/radar/national.html",
                              "http://weather.noaa.gov/radar/national.html ",
                              "http://weather.noaa.gov/radar/national.htm"})
        EXPECT_EQ(NextMapFallbackPage(QLatin1String(other)), std::nullopt) << other;
}

TEST(NationalMapUrl, EmptyOrNulStoredValueGivesTheDefault) {
    EXPECT_EQ(NationalMapUrlOrDefault(""), DefaultNationalMapUrl);
    EXPECT_EQ(NationalMapUrlOrDefault("    "), DefaultNationalMapUrl);
    EXPECT_EQ(NationalMapUrlOrDefault(QStringLiteral("http://x.org/") + QChar(u'\0')),
              DefaultNationalMapUrl);
    EXPECT_EQ(NationalMapUrlOrDefault("http://www.crh.noaa.gov/radar/national.html  "),
              "http://www.crh.noaa.gov/radar/national.html");
}

// --- map clicks -------------------------------------------------------------

struct LinkCase {
    const char* link;
    const char* hostLabel; // nullptr: not a site link
    const char* siteCode;
};

TEST(ParseSiteLink, AcceptsOnlyShortRangeBaseLinksWithASevenCharacterHost) {
    const LinkCase cases[] = {
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", "weather", "kmkx"},
        {"HTTP://WEATHER.NOAA.GOV/RADAR/LATEST/DS.P19R0/SI.KMKX.SHTML", "weather", "kmkx"},
        {"http://www.srh.noaa.gov/radar/latest/DS.p19r0/si.kewx.shtml", "www.srh", "kewx"},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.kabx", "weather", "kabx"},
        // another product
        {"http://weather.noaa.gov/radar/latest/DS.p20-r/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/latest/DS.p37cr/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        // host labels of another length
        {"http://weather2.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://radar.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        // another domain of the same length
        {"http://weather.noaa.org/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        // a label that would move the process to another server
        {"http://a.com/?.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://x@y.com.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        // no site code after the product
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.km", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/index.shtml", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.k?x#.shtml", nullptr, nullptr},
        {"https://weathe.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", nullptr, nullptr},
        {"http://weather.noaa.gov/radar/national.html", nullptr, nullptr},
        {"", nullptr, nullptr},
        {"http://", nullptr, nullptr},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.link);
        const auto site = ParseSiteLink(QLatin1String(c.link));
        if (!c.hostLabel) {
            EXPECT_EQ(site, std::nullopt);
            continue;
        }
        ASSERT_TRUE(site.has_value());
        EXPECT_EQ(site->hostLabel, QLatin1String(c.hostLabel));
        EXPECT_EQ(site->siteCode, QLatin1String(c.siteCode));
    }
}

TEST(SitePageUrl, BuildsTheChosenProductPageFromAMapClick) {
    const auto site = ParseSiteLink("http://weather.noaa.gov/radar/latest/DS.p19r0/si.KMKX.shtml");
    ASSERT_TRUE(site.has_value());
    struct {
        int index;
        bool longRange;
        bool backDate;
        const char* page;
    } const cases[] = {
        {0, false, false, "http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml"},
        {0, true, false, "http://weather.noaa.gov/radar/latest/DS.p20-r/si.kmkx.shtml"},
        {1, true, true, "http://weather.noaa.gov/radar/loop/DS.p38cr/si.kmkx.shtml"},
        {3, true, false, "http://weather.noaa.gov/radar/latest/DS.80stp/si.kmkx.shtml"},
        {-1, false, true, "http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml"},
    };
    for (const auto& c : cases) {
        const QString code = ProductForChoice(c.index, c.longRange);
        EXPECT_EQ(SitePageUrl(site->hostLabel, code, site->siteCode, c.backDate),
                  QLatin1String(c.page));
    }
}

// --- page kinds and derived addresses ---------------------------------------

TEST(ClassifyRadarPage, RecognisesLatestAndLoopPagesIgnoringCase) {
    const std::pair<const char*, RadarPageKind> cases[] = {
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", RadarPageKind::Latest},
        {"HTTP://WEATHER.NOAA.GOV/RADAR/LATEST/x", RadarPageKind::Latest},
        {"http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml", RadarPageKind::Loop},
        {"http://www.srh.NOAA.gov/Radar/Loop/", RadarPageKind::Loop},
        {"http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif",
         RadarPageKind::NotRadarPage},
        {"http://weather.noaa.gov/radar/national.html", RadarPageKind::NotRadarPage},
        {"http://example.com/radar/latest/", RadarPageKind::NotRadarPage},
        {"", RadarPageKind::NotRadarPage},
    };
    for (const auto& [address, kind] : cases)
        EXPECT_EQ(ClassifyRadarPage(QLatin1String(address)), kind) << address;
}

TEST(SiteImageUrl, RewritesPagesIntoTheirLatestImage) {
    const std::pair<const char*, const char*> cases[] = {
        {"/radar/latest/DS.p19r0/si.kmkx.shtml", "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"/radar/loop/DS.p20-r/si.kabx.shtml", "/radar/images/DS.p20-r/SI.kabx/latest.gif"},
        {"/radar/LATEST/DS.p19r0/SI.kmkx.SHTML", "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"/radar/Loop/DS.80stp/Si.klot.Shtml", "/radar/images/DS.80stp/SI.klot/latest.gif"},
        // only the first occurrence of each is rewritten
        {"/radar/latest/DS.p19r0/si.kmkx.shtml?latest.shtml",
         "/radar/images/DS.p19r0/SI.kmkx/latest.gif?latest.shtml"},
    };
    for (const auto& [page, image] : cases)
        EXPECT_EQ(SiteImageUrl(at(page)), at(image)) << page;
}

TEST(SiteImageUrl, NeverRewritesTheHostName) {
    EXPECT_EQ(SiteImageUrl("http://loopsrv.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml"),
              "http://loopsrv.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif");
    EXPECT_EQ(SiteImageUrl("http://latest1.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml"),
              "http://latest1.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif");
    EXPECT_EQ(SiteImageUrl("http://x.shtml.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml"),
              "http://x.shtml.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif");
    EXPECT_EQ(LoopListUrl("http://latest1.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml"),
              "http://latest1.noaa.gov/radar/loopdata/DS.p19r0/kmkx.txt");
    EXPECT_EQ(LoopPageUrlFromPaneUrl(
                  "http://images.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif", false),
              "http://images.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml");
}

struct PaneCase {
    const char* page;
    bool navsGoToPageUrl;
    const char* pane;
};

TEST(PaneUrl, ShowsThePageOrTheImageByTheOption) {
    const PaneCase cases[] = {
        {"/radar/latest/DS.p19r0/si.kmkx.shtml", true, "/radar/latest/DS.p19r0/si.kmkx.shtml"},
        {"/radar/latest/DS.p19r0/si.kmkx.shtml", false,
         "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"/radar/loop/DS.p38cr/si.kmkx.shtml", true, "/radar/latest/DS.p38cr/si.kmkx.shtml"},
        {"/radar/loop/DS.p38cr/si.kmkx.shtml", false, "/radar/images/DS.p38cr/SI.kmkx/latest.gif"},
        {"/radar/LOOP/DS.p38cr/si.kmkx.shtml", true, "/radar/latest/DS.p38cr/si.kmkx.shtml"},
    };
    for (const PaneCase& c : cases)
        EXPECT_EQ(PaneUrl(at(c.page), c.navsGoToPageUrl), at(c.pane))
            << c.page << " option " << c.navsGoToPageUrl;
}

TEST(LoopPageUrlFromPaneUrl, TurnsEitherPaneFormBackIntoTheLoopPage) {
    const PaneCase cases[] = {
        {"/radar/images/DS.p19r0/SI.kmkx/latest.gif", false, "/radar/loop/DS.p19r0/si.kmkx.shtml"},
        {"/radar/IMAGES/DS.p19r0/si.kmkx/LATEST.GIF", false, "/radar/loop/DS.p19r0/si.kmkx.shtml"},
        {"/radar/latest/DS.p19r0/si.kmkx.shtml", true, "/radar/loop/DS.p19r0/si.kmkx.shtml"},
    };
    for (const PaneCase& c : cases)
        EXPECT_EQ(LoopPageUrlFromPaneUrl(at(c.page), c.navsGoToPageUrl), at(c.pane)) << c.page;

    // Every product and either option: the restart finds the page the process began with.
    for (const RadarProductCode& product : RadarProductCodes) {
        const QString loopPage = SitePageUrl("weather", product.code, "kmkx", true);
        for (const bool option : {false, true}) {
            EXPECT_EQ(LoopPageUrlFromPaneUrl(PaneUrl(loopPage, option), option), loopPage)
                << loopPage.toStdString() << " option " << option;
        }
    }
}

TEST(LatestPageUrl, TurnsALoopPageIntoItsLatestPage) {
    EXPECT_EQ(LatestPageUrl(at("/radar/loop/DS.p19r0/si.kmkx.shtml")),
              at("/radar/latest/DS.p19r0/si.kmkx.shtml"));
    EXPECT_EQ(LatestPageUrl(at("/radar/latest/DS.p19r0/si.kmkx.shtml")),
              at("/radar/latest/DS.p19r0/si.kmkx.shtml"));
}

TEST(LoopListUrl, PointsAtTheLoopDataListOfTheSite) {
    const std::pair<const char*, const char*> cases[] = {
        {"/radar/loop/DS.p19r0/si.kmkx.shtml", "/radar/loopdata/DS.p19r0/kmkx.txt"},
        {"/radar/loop/DS.80stp/si.kabx.shtml", "/radar/loopdata/DS.80stp/kabx.txt"},
        {"/radar/LOOP/DS.p19r0/SI.KMKX.SHTML", "/radar/loopdata/DS.p19r0/KMKX.txt"},
    };
    for (const auto& [page, list] : cases)
        EXPECT_EQ(LoopListUrl(at(page)), at(list)) << page;
    for (const char* notLoop :
         {"/radar/latest/DS.p19r0/si.kmkx.shtml", "/radar/loop/DS.p19r0/si.kmkx.html",
          "/radar/loop/DS.p19r0/kmkx", "/radar/loop/DS.p19r0/x.kmkx.shtml", "/loop/si.k.shtml"})
        EXPECT_EQ(LoopListUrl(at(notLoop)), std::nullopt) << notLoop;
    EXPECT_EQ(LoopListUrl("si.kmkx.shtml"), std::nullopt);
    EXPECT_EQ(LoopListUrl(""), std::nullopt);
}

// --- reading product and site back ------------------------------------------

TEST(RecognizeProduct, ReadsTheCodeAfterLatestOrImages) {
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
}

TEST(RecognizeProduct, RefusesUnknownCodesAndOtherAddresses) {
    for (const char* address : {
             "http://weather.noaa.gov/radar/latest/DS.p21-r/si.kmkx.shtml",
             "http://weather.noaa.gov/radar/latest/ds.p19r0/si.kmkx.shtml", // case matters
             "http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml",   // offset is for latest
             "http://weather.example/radar/latest/DS.p19r0/si.kmkx.shtml",
             "http://weather.noaa.gov/radar/latest/DS.p19r",
             "http://weather.noaa.gov/radar/latest/",
             "noaa.gov/radar/",
             "",
         })
        EXPECT_EQ(RecognizeProduct(QLatin1String(address)), std::nullopt) << address;
}

TEST(SiteCodeFromPaneUrl, ReadsTheCodeAfterTheLastSiteMarker) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif", "kmkx"},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml", "kmkx"},
        {"http://weather.noaa.gov/radar/images/DS.p19r0/SI.KMLB/latest.gif", "kmlb"},
        {"http://weather.noaa.gov/radar/latest/DS.p19r0/Si.kabx.shtml", "kabx"},
        {"http://x/si.aaaa/SI.bbbb", "bbbb"},
        {"/si.abcd", "abcd"},
    };
    for (const auto& [pane, code] : cases)
        EXPECT_EQ(SiteCodeFromPaneUrl(QLatin1String(pane)), QString(QLatin1String(code))) << pane;
    for (const char* none :
         {"", "/si.", "/si.abc", "http://weather.noaa.gov/radar/national.html", "si.kmkx"})
        EXPECT_EQ(SiteCodeFromPaneUrl(QLatin1String(none)), std::nullopt) << none;
    // letters that lengthen when lower-cased do not make a four-character code
    EXPECT_EQ(SiteCodeFromPaneUrl(QString::fromUtf8("/SI.\u0130\u0130\u0130\u0130/latest.gif")),
              std::nullopt);
}

// --- addresses stored in a set record -----------------------------------------

struct StoredCase {
    const char* stored;
    bool navsGoToPageUrl;
    const char* pane;
    const char* image;
};

TEST(AddressesFromStoredUrl, GivesPageAndImageFormsByTheOption) {
    const StoredCase cases[] = {
        {"/radar/latest/DS.p19r0/SI.kmkx.shtml", false, "/radar/images/DS.p19r0/SI.kmkx/latest.gif",
         "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"/radar/latest/DS.p19r0/si.kmkx.shtml", true, "/radar/latest/DS.p19r0/si.kmkx.shtml",
         "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"/radar/images/DS.p20-r/SI.kabx/latest.gif", false,
         "/radar/images/DS.p20-r/SI.kabx/latest.gif", "/radar/images/DS.p20-r/SI.kabx/latest.gif"},
        {"/radar/images/DS.p20-r/SI.kabx/latest.gif", true, "/radar/latest/DS.p20-r/si.kabx.shtml",
         "/radar/images/DS.p20-r/SI.kabx/latest.gif"},
        {"/radar/IMAGES/DS.p20-r/si.kabx/Latest.Gif", true, "/radar/latest/DS.p20-r/si.kabx.shtml",
         "/radar/IMAGES/DS.p20-r/si.kabx/Latest.Gif"},
        // a loop page saved while a back-dated start was loading
        {"/radar/loop/DS.p19r0/si.kmkx.shtml", true, "/radar/latest/DS.p19r0/si.kmkx.shtml",
         "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"/radar/loop/DS.p19r0/si.kmkx.shtml", false, "/radar/images/DS.p19r0/SI.kmkx/latest.gif",
         "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " option " << c.navsGoToPageUrl);
        const ProcessAddresses found = AddressesFromStoredUrl(at(c.stored), c.navsGoToPageUrl);
        EXPECT_EQ(found.paneUrl, at(c.pane));
        EXPECT_EQ(found.siteImageUrl, at(c.image));
        EXPECT_TRUE(RecognizeProduct(found.paneUrl).has_value());
    }
}

TEST(HasRadarPath, RequiresTheRadarDomainAndPath) {
    EXPECT_TRUE(HasRadarPath("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif"));
    EXPECT_TRUE(HasRadarPath("HTTP://WEATHER.NOAA.GOV/RADAR/"));
    EXPECT_FALSE(HasRadarPath("http://weather.noaa.gov/radar"));
    EXPECT_FALSE(HasRadarPath("http://example.com/radar/latest/DS.p19r0/si.kmkx.shtml"));
    EXPECT_FALSE(HasRadarPath(""));
}

// --- hostile input --------------------------------------------------------------

TEST(RadarAddresses, OddAddressesAreHandledWithoutReadingPastTheText) {
    QStringList odd = {
        QString(),
        "",
        "h",
        "http:",
        "http://",
        "http:///",
        "/si.",
        "/SI.k",
        "si..shtml",
        ".shtml",
        "loop",
        "noaa.gov/radar/",
        "noaa.gov/radar/latest/",
        "http://weather.noaa.gov/radar/latest/ds.p19r0/si.",
        QString::fromUtf8("http://wéäther.noaa.gov/radar/latest/ds.p19r0/si.kmkx.shtml"),
        QString::fromUtf8("HTTP://İİİİİİİ.NOAA.GOV/RADAR/LATEST/DS.P19R0/SI.İİİİ.SHTML"),
        QString::fromUtf8("http://weather.noaa.gov/radar/loop/DS.p19r0/si.\u017Fmkx.shtml"),
        QString(QChar(u'\0')) + "noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml",
        QString(5000, u'/') + "si.",
        QStringLiteral("http://weather.noaa.gov/radar/loop/") + QString(100000, u'x'),
    };
    odd << QString(QChar(0xD800)) + "noaa.gov/radar/latest/" + QChar(0xDC00);
    for (const QString& address : odd) {
        SCOPED_TRACE(address.left(80).toStdString());
        const auto site = ParseSiteLink(address);
        if (site) {
            EXPECT_EQ(site->hostLabel.size(), 7);
            EXPECT_EQ(site->siteCode.size(), 4);
        }
        EXPECT_EQ(ClassifyRadarPage(address) == RadarPageKind::NotRadarPage,
                  !address.contains("noaa.gov/radar/l", Qt::CaseInsensitive));
        (void)SiteImageUrl(address);
        (void)PaneUrl(address, true);
        (void)PaneUrl(address, false);
        (void)LoopPageUrlFromPaneUrl(address, true);
        (void)LoopPageUrlFromPaneUrl(address, false);
        (void)AddressesFromStoredUrl(address, true);
        (void)NextMapFallbackPage(address);
        if (const auto list = LoopListUrl(address)) {
            EXPECT_TRUE(list->endsWith(".txt"));
        }
        if (const auto code = SiteCodeFromPaneUrl(address)) {
            EXPECT_EQ(code->size(), 4);
        }
        if (const auto product = RecognizeProduct(address)) {
            EXPECT_TRUE(RangeClassOf(product->productCode).has_value());
        }
    }
}

} // namespace
