// The decisions of the proxy front and the panes that need no network: which
// address a proxy request names, which cache rule serves it, which status a
// pane reports, the run's credentials and the connection state.
#include "acquisition/platform/browser_pane.h"
#include "acquisition/platform/connection_state.h"
#include "acquisition/platform/navigate_error.h"
#include "acquisition/platform/proxy_credentials.h"
#include "acquisition/platform/proxy_rules.h"
#include "acquisition/platform/web_engine_setup.h"

#include <array>
#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

TEST(ProxyTargetAddress, TakesHostAndPortFromTheHostHeader) {
    // Absolute-form requests reach the server with port 0; an empty result: no address.
    const std::array<const char*, 3> cases[] = {
        {"http://weather.noaa.gov:0/a?x=1", "weather.noaa.gov:8080",
         "http://weather.noaa.gov:8080/a?x=1"},
        {"http://weather.noaa.gov:0/a", "WEATHER.noaa.gov:80", "http://weather.noaa.gov/a"},
        {"/radar/loop/si.kmkx.shtml", "www.srh.noaa.gov",
         "http://www.srh.noaa.gov/radar/loop/si.kmkx.shtml"},
        {"http://[::1]:0/x", "[::1]:81", "http://[::1]:81/x"},
        // What the cache must not key on goes.
        {"http://u:p@weather.noaa.gov:0/a.gif#top", "weather.noaa.gov",
         "http://weather.noaa.gov/a.gif"},
        {"/x", "", ""},
        {"/x", "bad host name:99999", ""},
    };
    for (const auto& [url, host, expected] : cases) {
        SCOPED_TRACE(url + std::string(" Host: ") + host);
        const auto address = proxyTargetAddress(QUrl(QString::fromLatin1(url)), host);
        EXPECT_EQ(address ? address->toString().toStdString() : "", expected);
    }
}

TEST(PaneCacheLoadControl, ReloadsGoToTheServerAndOfflineStaysInTheCache) {
    using C = QNetworkRequest::CacheLoadControl;
    const std::tuple<HeaderPairs, bool, C> cases[] = {
        {{}, false, C::PreferNetwork},
        {{{"Cache-Control", "max-age=600"}}, false, C::PreferNetwork},
        {{{"cache-control", "max-age = 0, private"}}, false, C::AlwaysNetwork},
        {{{"Cache-Control", "no-cache"}}, false, C::AlwaysNetwork},
        {{{"Pragma", "no-cache"}}, false, C::AlwaysNetwork},
        {{{"Cache-Control", "no-cache"}}, true, C::AlwaysCache},
    };
    for (const auto& [headers, offline, expected] : cases)
        EXPECT_EQ(paneCacheLoadControl(headers, offline), expected);
}

TEST(ProxyHeaders, ConnectionAndCredentialHeadersNeverPass) {
    const HeaderPairs pane{{"Host", "weather.noaa.gov"}, {"Proxy-Authorization", "Basic eDp5"},
                           {"Connection", "keep-alive"}, {"Accept-Encoding", "gzip"},
                           {"If-None-Match", "\"abc\""}, {"User-Agent", "pane"},
                           {"Cache-Control", "no-cache"}};
    EXPECT_EQ(upstreamRequestHeaders(pane),
              (HeaderPairs{{"User-Agent", "pane"}, {"Cache-Control", "no-cache"}}));
    const HeaderPairs server{{"Content-Length", "10"},
                             {"Content-Encoding", "gzip"},
                             {"Transfer-Encoding", "chunked"},
                             {"Last-Modified", "x"}};
    EXPECT_EQ(paneResponseHeaders(server),
              (HeaderPairs{{"Content-Encoding", "gzip"}, {"Last-Modified", "x"}}));
}

TEST(PaneStatusFor, UnreachableAndUncachedAreTheOnly504) {
    using E = QNetworkReply::NetworkError;
    const std::pair<UpstreamOutcome, int> cases[] = {
        {{404, E::ContentNotFoundError, false, false}, 404},
        {{504, E::UnknownServerError, false, false}, FrontUpstreamFailedStatus},
        // Headers came, the body stopped short.
        {{200, E::RemoteHostClosedError, false, false}, FrontUpstreamFailedStatus},
        {{0, E::HostNotFoundError, false, false}, FrontUnreachableStatus},
        {{0, E::RemoteHostClosedError, false, false}, FrontUnreachableStatus},
        {{0, E::ProxyConnectionClosedError, false, false}, FrontUnreachableStatus},
        {{0, E::ContentNotFoundError, true, false}, FrontUnreachableStatus},
        {{0, E::OperationCanceledError, false, false}, FrontUpstreamFailedStatus},
        {{0, E::TimeoutError, false, false}, FrontUpstreamFailedStatus},
        // The program's own feed is not running: its fault, not a missing page.
        {{0, E::ProxyConnectionRefusedError, false, true}, FrontUpstreamFailedStatus},
        {{0, E::ProxyConnectionRefusedError, true, true}, FrontUnreachableStatus},
    };
    for (const auto& [outcome, expected] : cases)
        EXPECT_EQ(paneStatusFor(outcome), expected) << outcome.httpStatus << " " << outcome.error;
}

TEST(NavigateErrorStatus, MapsEngineErrorsToTheStatusesCallersTest) {
    using D = QWebEngineLoadingInfo::ErrorDomain;
    const std::tuple<D, int, std::optional<quint32>> cases[] = {
        {D::HttpStatusCodeDomain, 404, 404u},
        {D::HttpStatusCodeDomain, FrontUnreachableStatus, ResourceNotFoundStatus},
        {D::ConnectionErrorDomain, -102, ResourceNotFoundStatus},
        {D::DnsErrorDomain, -105, ResourceNotFoundStatus},
        {D::InternalErrorDomain, -6, ResourceNotFoundStatus},
        {D::InternalErrorDomain, -3, std::nullopt}, // stopped or replaced: no error
        {D::InternalErrorDomain, -2, DownloadFailureStatus},
        {D::HttpErrorDomain, -324, DownloadFailureStatus},
        {D::NoErrorDomain, 0, std::nullopt},
    };
    for (const auto& [domain, code, expected] : cases)
        EXPECT_EQ(navigateErrorStatus(domain, code), expected) << domain << " " << code;
}

TEST(ProxyCredentials, AcceptOnlyTheirOwnBasicAuthorization) {
    const ProxyCredentials mine = ProxyCredentials::random();
    EXPECT_TRUE(mine.accepts(mine.basicAuthorization()));
    EXPECT_TRUE(mine.accepts("basic " + mine.basicAuthorization().mid(6)));
    EXPECT_FALSE(mine.accepts(ProxyCredentials::random().basicAuthorization()));
    EXPECT_FALSE(mine.accepts({}));
    EXPECT_FALSE(mine.accepts("Bearer " + mine.basicAuthorization().mid(6)));
    EXPECT_FALSE(
        mine.accepts("Basic " + (mine.user + ":" + mine.password + "x").toUtf8().toBase64()));
}

TEST(ConnectionStateFrom, OnlyADisconnectedSystemIsNotConnected) {
    using R = QNetworkInformation::Reachability;
    // reachability, PPP link up, offline switch -> connected, flags
    const std::tuple<R, bool, bool, bool, int> cases[] = {
        {R::Unknown, false, false, true, 0},
        // A local link reaches a proxy or a server on the local network.
        {R::Local, false, false, true, 0},
        {R::Online, true, false, true, ConnectionState::ModemFlag},
        {R::Online, false, true, true, ConnectionState::OfflineFlag},
        {R::Disconnected, true, true, false, 0x21},
    };
    for (const auto& [reachability, ppp, offline, connected, flags] : cases) {
        const ConnectionState state = connectionStateFrom(reachability, ppp, offline);
        EXPECT_EQ(state.connected, connected);
        EXPECT_EQ(state.flags(), flags);
    }
}

TEST(ChromiumFlags, SandboxAndZygoteOffOnlyAsRootGpuOffForSoftwarePanesAndGivenFlagsWin) {
    const QStringList always{"--renderer-process-limit=1", "--disable-site-isolation-trials",
                             "--disable-background-networking"};
    EXPECT_EQ(chromiumFlags({}, false, false), always);
    EXPECT_EQ(chromiumFlags({"--no-sandbox", "--lang=en"}, true, true),
              (QStringList{"--no-sandbox", "--lang=en", "--no-zygote", "--disable-gpu"} + always));
    EXPECT_EQ(chromiumFlags({}, true, false),
              (QStringList{"--no-sandbox", "--no-zygote"} + always));
    // A limit the user gave stays as given.
    EXPECT_EQ(chromiumFlags({"--renderer-process-limit=4"}, false, false).filter("limit"),
              QStringList{"--renderer-process-limit=4"});
}

} // namespace
} // namespace nubivista::platform
