#include "radar/addresses.h"

#include "radar/products.h"

#include <algorithm>

namespace nubivista::radar {

namespace {

using L = QLatin1String;

// 0-based positions in a lower-cased site link.
constexpr qsizetype HostLabelStart = 7; // after "http://"
constexpr qsizetype HostLabelLength = 7;
constexpr qsizetype SiteLinkMarkerStart = HostLabelStart + HostLabelLength;
constexpr qsizetype SiteLinkMarkerLength = 32;
constexpr qsizetype SitePrefixStart = SiteLinkMarkerStart + SiteLinkMarkerLength; // "si."
constexpr qsizetype SiteCodeStart = SitePrefixStart + 3;
constexpr qsizetype SiteCodeLength = 4;

// The product code follows "latest/" or "images/" after RadarDomain + "/radar/".
constexpr qsizetype ProductCodeOffset = 7;
constexpr qsizetype ProductCodeLength = 8;

QString radarPathMarker() {
    return RadarDomain + L("/radar/");
}

// Where the path of an address begins: after "scheme://host" when there is a
// scheme, after the first host-like part otherwise. The address rewrites below
// search only from here, so a host name that happens to hold "loop", "latest",
// "images" or ".shtml" is never rewritten.
qsizetype pathStart(const QString& address) {
    // A "://" after the first "/" belongs to the path or query, not to a scheme.
    const qsizetype scheme = address.indexOf(L("://"));
    const bool hasScheme = scheme >= 0 && address.indexOf(u'/') == scheme + 1;
    const qsizetype authority = hasScheme ? scheme + 3 : 0;
    const qsizetype slash = address.indexOf(u'/', authority);
    return slash < 0 ? address.size() : slash;
}

bool pathContains(const QString& address, QLatin1String needle) {
    return address.indexOf(needle, pathStart(address), Qt::CaseInsensitive) >= 0;
}

// Replaces the first occurrence of from in the path, matched ignoring case;
// the rest of the text stays as it is.
QString replaceFirstInPath(QString address, QLatin1String from, QLatin1String to) {
    const qsizetype at = address.indexOf(from, pathStart(address), Qt::CaseInsensitive);
    if (at >= 0)
        address.replace(at, from.size(), to);
    return address;
}

bool isHostCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

bool isSiteCodeCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// The page of an image address, with kind ("latest" or "loop") in place of
// "images". None of the three rewrites can make or break another's match.
QString pageFromImage(const QString& image, QLatin1String kind) {
    QString page = replaceFirstInPath(image, L("/SI."), L("/si."));
    page = replaceFirstInPath(page, L("/latest.gif"), L(".shtml"));
    return replaceFirstInPath(page, L("images"), kind);
}

} // namespace

QString NationalMapUrlOrDefault(const QString& stored) {
    const QString trimmed = stored.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QChar(u'\0')))
        return DefaultNationalMapUrl;
    return trimmed;
}

std::optional<QString> NextMapFallbackPage(const QString& failedAddress) {
    const QString lowered = failedAddress.toLower();
    for (std::size_t i = 0; i < MapFallbackRing.size(); ++i) {
        if (lowered == MapFallbackRing[i])
            return QString(MapFallbackRing[(i + 1) % MapFallbackRing.size()]);
    }
    return std::nullopt;
}

std::optional<SiteLink> ParseSiteLink(const QString& link) {
    const QString lowered = link.toLower();
    const QString marker = L(".") + RadarDomain + L("/radar/latest/") +
                           QString(BaseReflectivityShort).toLower() + L("/");
    Q_ASSERT(marker.size() == SiteLinkMarkerLength);
    if (!lowered.startsWith(L("http://")) ||
        lowered.mid(SiteLinkMarkerStart, SiteLinkMarkerLength) != marker ||
        lowered.mid(SitePrefixStart, 3) != L("si."))
        return std::nullopt;

    // The host label and site code go into the page address the process polls:
    // only host-name characters may stand in the label ("a.com/?" would move
    // the process to another server), only letters and digits in the code.
    SiteLink site{lowered.mid(HostLabelStart, HostLabelLength),
                  lowered.mid(SiteCodeStart, SiteCodeLength)};
    if (site.siteCode.size() != SiteCodeLength ||
        !std::ranges::all_of(site.hostLabel, isHostCharacter) ||
        !std::ranges::all_of(site.siteCode, isSiteCodeCharacter))
        return std::nullopt;
    return site;
}

QString SitePageUrl(const QString& hostLabel, const QString& productCode, const QString& siteCode,
                    bool backDate) {
    const QLatin1String kind = backDate ? L("loop") : L("latest");
    return L("http://") + hostLabel + L(".") + RadarDomain + L("/radar/") + kind + L("/") +
           productCode + L("/si.") + siteCode + L(".shtml");
}

RadarPageKind ClassifyRadarPage(const QString& address) {
    if (address.contains(RadarDomain + L("/radar/latest"), Qt::CaseInsensitive))
        return RadarPageKind::Latest;
    if (address.contains(RadarDomain + L("/radar/loop"), Qt::CaseInsensitive))
        return RadarPageKind::Loop;
    return RadarPageKind::NotRadarPage;
}

bool IsFeedAddress(const QUrl& address) {
    if (address.scheme().compare(L("http"), Qt::CaseInsensitive) != 0)
        return false;
    const QString host = address.host().toLower();
    for (const QLatin1String page : MapFallbackRing)
        if (QUrl(QString(page)).host() == host)
            return true;
    const bool inDomain = host == RadarDomain || host.endsWith(QLatin1Char('.') + RadarDomain);
    return inDomain && address.path().startsWith(L("/radar/"), Qt::CaseInsensitive);
}

bool HasRadarPath(const QString& address) {
    return address.contains(radarPathMarker(), Qt::CaseInsensitive);
}

QString SiteImageUrl(const QString& pageUrl) {
    const QLatin1String kind = pathContains(pageUrl, L("loop")) ? L("loop") : L("latest");
    QString image = replaceFirstInPath(pageUrl, kind, L("images"));
    image = replaceFirstInPath(image, L("/si."), L("/SI."));
    return replaceFirstInPath(image, L(".shtml"), L("/latest.gif"));
}

QString LatestPageUrl(const QString& pageUrl) {
    return replaceFirstInPath(pageUrl, L("loop"), L("latest"));
}

QString PaneUrl(const QString& pageUrl, bool navsGoToPageUrl) {
    return navsGoToPageUrl ? LatestPageUrl(pageUrl) : SiteImageUrl(pageUrl);
}

QString LoopPageUrlFromPaneUrl(const QString& paneUrl, bool navsGoToPageUrl) {
    return navsGoToPageUrl ? replaceFirstInPath(paneUrl, L("latest"), L("loop"))
                           : pageFromImage(paneUrl, L("loop"));
}

std::optional<QString> LoopListUrl(const QString& loopPageUrl) {
    if (!pathContains(loopPageUrl, L("loop")))
        return std::nullopt;
    const QString list = replaceFirstInPath(loopPageUrl, L("loop"), L("loopdata"));
    const qsizetype pageEnd = list.lastIndexOf(L(".shtml"), -1, Qt::CaseInsensitive);
    const qsizetype siteStart = pageEnd - SiteCodeLength;
    const qsizetype prefixStart = siteStart - 3;
    if (pageEnd < 0 || prefixStart < pathStart(list) ||
        list.mid(prefixStart, 3).compare(L("si."), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return list.left(prefixStart) + list.mid(siteStart, SiteCodeLength) + L(".txt");
}

std::optional<RecognizedProduct> RecognizeProduct(const QString& address) {
    const QString marker = radarPathMarker();
    const qsizetype at = address.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const QString code = address.mid(at + marker.size() + ProductCodeOffset, ProductCodeLength);
    const std::optional<RangeClass> range = RangeClassOf(code);
    if (!range)
        return std::nullopt;
    const bool longRange = *range == RangeClass::Long;
    return RecognizedProduct{code, longRange,
                             longRange ? MapScaleChoice::Long : MapScaleChoice::Short};
}

std::optional<QString> SiteCodeFromPaneUrl(const QString& paneUrl) {
    const QLatin1String marker("/si.");
    const qsizetype at = paneUrl.lastIndexOf(marker, -1, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    // Lower-casing some non-Latin letters lengthens them: the code must still be
    // four characters afterwards.
    const QString code = paneUrl.mid(at + marker.size(), SiteCodeLength).toLower();
    if (code.size() != SiteCodeLength)
        return std::nullopt;
    return code;
}

ProcessAddresses AddressesFromStoredUrl(const QString& storedUrl, bool navsGoToPageUrl) {
    if (pathContains(storedUrl, L("images")))
        return {navsGoToPageUrl ? pageFromImage(storedUrl, L("latest")) : storedUrl, storedUrl};
    // A page address: a loop page stored during a back-dated start is read as
    // its latest page, as the process itself would show it.
    const QString image = SiteImageUrl(storedUrl);
    return {navsGoToPageUrl ? PaneUrl(storedUrl, true) : image, image};
}

} // namespace nubivista::radar
