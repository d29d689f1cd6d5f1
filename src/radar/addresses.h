#pragma once
// The address grammar of the radar web server. The program never reads a radar
// page's content: the product, the site and the kind of page (latest image or
// loop) are all carried in the page and image addresses, at fixed character
// positions or behind fixed markers. Every function here takes any text and
// never reads outside it.
#include <QLatin1String>
#include <QString>
#include <QUrl>
#include <array>
#include <optional>

namespace nubivista::radar {

// The domain of the radar web servers. The site-link positions below depend
// on its length.
inline constexpr QLatin1String RadarDomain{"noaa.gov"};
static_assert(RadarDomain.size() == 8, "site-link character positions assume eight characters");

inline constexpr QLatin1String DefaultNationalMapUrl{"http://weather.noaa.gov/radar/national.html"};

// The national map on the default host and the southern, central and western
// region hosts, tried in this order when the map will not load.
inline constexpr std::array<QLatin1String, 4> MapFallbackRing{{
    QLatin1String("http://weather.noaa.gov/radar/national.html"),
    QLatin1String("http://www.srh.noaa.gov/radar/national.html"),
    QLatin1String("http://www.crh.noaa.gov/radar/national.html"),
    QLatin1String("http://www.wrh.noaa.gov/radar/national.html"),
}};

// The configured national map address, or the default when the stored one is
// empty or holds a NUL character.
QString NationalMapUrlOrDefault(const QString& stored);

// The ring page to try after failedAddress (compared ignoring case); after the
// western page comes the default again. Nothing when the failed address is not
// one of the ring's pages.
std::optional<QString> NextMapFallbackPage(const QString& failedAddress);

// A national-map link to a site's short-range base reflectivity page, as cut
// from the lower-cased link: "http://" + seven-character host label + "." +
// RadarDomain + "/radar/latest/ds.p19r0/si." + four-character site code.
struct SiteLink {
    QString hostLabel; // lower case, seven characters
    QString siteCode;  // lower case, four characters
};

// True for the addresses the feed answers: plain http to one of the map ring's
// hosts, or to a host in RadarDomain with a path under "/radar/" (site links,
// radar pages, their images and loop lists). Everything else, https included,
// goes to the network as it is.
bool IsFeedAddress(const QUrl& address);

// The host label and site code when link is a site link; nothing otherwise.
std::optional<SiteLink> ParseSiteLink(const QString& link);

// The page a process starts from: the loop page when backDate is set (for a
// back-dated start), otherwise the latest-image page.
QString SitePageUrl(const QString& hostLabel, const QString& productCode, const QString& siteCode,
                    bool backDate);

enum class RadarPageKind { NotRadarPage, Latest, Loop };

// Whether address is a radar latest page, a radar loop page or neither, by the
// markers RadarDomain + "/radar/latest" and RadarDomain + "/radar/loop"
// (ignoring case; the latest marker wins).
RadarPageKind ClassifyRadarPage(const QString& address);

// True when address holds RadarDomain + "/radar/" (ignoring case).
bool HasRadarPath(const QString& address);

// The latest image of a latest or loop page: ".../radar/latest/DS.p19r0/si.kmkx.shtml"
// gives ".../radar/images/DS.p19r0/SI.kmkx/latest.gif".
QString SiteImageUrl(const QString& pageUrl);

// The latest page of a loop page (its first "loop" becomes "latest"); other
// addresses come back unchanged.
QString LatestPageUrl(const QString& pageUrl);

// What the image-page pane shows during a process: the latest page itself when
// navsGoToPageUrl is in effect (a loop page turned into the latest page),
// otherwise the latest image.
QString PaneUrl(const QString& pageUrl, bool navsGoToPageUrl);

// The loop page of a process from the address its pane shows, for a
// back-dated restart: the image address (navsGoToPageUrl off) or the latest
// page (on) turned back into the loop page.
QString LoopPageUrlFromPaneUrl(const QString& paneUrl, bool navsGoToPageUrl);

// The address of the list of the loop page's images: ".../radar/loop/DS.p19r0/si.kmkx.shtml"
// gives ".../radar/loopdata/DS.p19r0/kmkx.txt". Nothing when the address is not
// a loop page ending in "si." + four characters + ".shtml".
std::optional<QString> LoopListUrl(const QString& loopPageUrl);

// The two map scales of the measurement (MapScale and MapScaleLong).
enum class MapScaleChoice { Short, Long };

struct RecognizedProduct {
    QString productCode;
    bool longRange = false;  // LongRangeFlag 1 when set, 0 otherwise
    MapScaleChoice mapScale; // which scale becomes MapScaleActive
};

// The product of a latest page or latest image address: the eight characters
// seven after the end of RadarDomain + "/radar/" (after "latest/" or
// "images/"). Nothing when the marker is missing or the code is unknown; the
// caller then leaves LongRangeFlag and MapScaleActive as they are.
std::optional<RecognizedProduct> RecognizeProduct(const QString& address);

// The site code of a pane address: the four characters after its last "/si."
// (any case), lower-cased. The page form ("/si.") and the image form ("/SI.")
// are both found by the one search. Nothing when the marker is missing or
// fewer than four characters follow it.
std::optional<QString> SiteCodeFromPaneUrl(const QString& paneUrl);

struct ProcessAddresses {
    QString paneUrl;
    QString siteImageUrl;
};

// The pane and image addresses of a process from the address stored in a set
// record, which may be a page or an image address (one holding "images").
// With navsGoToPageUrl the pane shows the page form, otherwise the image form;
// the image address is always the image form.
ProcessAddresses AddressesFromStoredUrl(const QString& storedUrl, bool navsGoToPageUrl);

} // namespace nubivista::radar
