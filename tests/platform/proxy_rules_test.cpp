// The decisions of the proxy front and the panes that need no network: which
// address a proxy request names, which cache rule serves it, which status a
// pane reports, and the run's credentials.
#include "acquisition/platform/browser_pane.h"
#include "acquisition/platform/connection_state.h"
#include "acquisition/platform/navigate_error.h"
#include "acquisition/platform/proxy_credentials.h"
#include "acquisition/platform/proxy_rules.h"
#include "acquisition/platform/web_engine_setup.h"
#include "platform/fake_browser_pane.h"

#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

TEST(ProxyTargetAddress, TakesHostAndPortFromTheHostHeader) {
    struct Case {
        const char* url;
        const char* host;
        const char* expected; // empty: no address
    };
    const Case cases[] = {
        // Absolute form as the server parses it: the port reads 0.
        {"http://weather.noaa.gov:0/radar/national.html", "weather.noaa.gov",
         "http://weather.noaa.gov/radar/national.html"},
        {"http://weather.noaa.gov:0/a?x=1", "weather.noaa.gov:8080",
         "http://weather.noaa.gov:8080/a?x=1"},
        {"http://weather.noaa.gov:0/a", "WEATHER.noaa.gov:80", "http://weather.noaa.gov/a"},
        {"/radar/loop/DS.p19r0/si.kmkx.shtml", "www.srh.noaa.gov",
         "http://www.srh.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml"},
        {"http://[::1]:0/x", "[::1]:81", "http://[::1]:81/x"},
        // What the cache must not key on goes.
        {"http://u:p@weather.noaa.gov:0/a.gif#top", "weather.noaa.gov",
         "http://weather.noaa.gov/a.gif"},
        {"/x", "", ""},
        {"/x", "bad host name:99999", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url + std::string(" Host: ") + c.host);
        const auto address = proxyTargetAddress(QUrl(QString::fromLatin1(c.url)), c.host);
        if (*c.expected == '\0') {
            EXPECT_FALSE(address.has_value());
        } else {
            ASSERT_TRUE(address.has_value());
            EXPECT_EQ(address->toString().toStdString(), c.expected);
        }
    }
}

TEST(PaneCacheLoadControl, ReloadsGoToTheServerAndOfflineStaysInTheCache) {
    struct Case {
        HeaderPairs headers;
        bool offline;
        QNetworkRequest::CacheLoadControl expected;
    };
    const Case cases[] = {
        {{}, false, QNetworkRequest::PreferNetwork},
        {{{"Cache-Control", "no-cache"}, {"Pragma", "no-cache"}},
         false,
         QNetworkRequest::AlwaysNetwork},
        {{{"cache-control", "max-age=0"}}, false, QNetworkRequest::AlwaysNetwork},
        {{{"Cache-Control", "max-age = 0, private"}}, false, QNetworkRequest::AlwaysNetwork},
        {{{"Cache-Control", "max-age=600"}}, false, QNetworkRequest::PreferNetwork},
        {{{"Pragma", "no-cache"}}, false, QNetworkRequest::AlwaysNetwork},
        {{{"Cache-Control", "no-cache"}}, true, QNetworkRequest::AlwaysCache},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paneCacheLoadControl(c.headers, c.offline), c.expected);
}

TEST(ProxyHeaders, ConnectionAndCredentialHeadersNeverPass) {
    const HeaderPairs pane{
        {"Host", "weather.noaa.gov"},       {"Proxy-Authorization", "Basic eDp5"},
        {"Proxy-Connection", "keep-alive"}, {"Connection", "keep-alive"},
        {"Accept-Encoding", "gzip"},        {"If-Modified-Since", "Sat, 01 Jan 2000 00:00:00 GMT"},
        {"If-None-Match", "\"abc\""},       {"User-Agent", "pane"},
        {"Cache-Control", "no-cache"}};
    EXPECT_EQ(upstreamRequestHeaders(pane),
              (HeaderPairs{{"User-Agent", "pane"}, {"Cache-Control", "no-cache"}}));

    const HeaderPairs server{{"Content-Length", "10"},         {"Content-Encoding", "gzip"},
                             {"Transfer-Encoding", "chunked"}, {"Keep-Alive", "timeout=5"},
                             {"Last-Modified", "x"},           {"ETag", "\"1\""}};
    EXPECT_EQ(
        paneResponseHeaders(server),
        (HeaderPairs{{"Content-Encoding", "gzip"}, {"Last-Modified", "x"}, {"ETag", "\"1\""}}));
}

TEST(PaneStatusFor, UnreachableAndUncachedAreTheOnly504) {
    using E = QNetworkReply::NetworkError;
    struct Case {
        UpstreamOutcome outcome;
        int expected;
    };
    const Case cases[] = {
        {{200, E::NoError, false}, 200},
        {{404, E::ContentNotFoundError, false}, 404},
        {{504, E::UnknownServerError, false}, FrontUpstreamFailedStatus},
        // Headers came, the body stopped short.
        {{200, E::RemoteHostClosedError, false}, FrontUpstreamFailedStatus},
        {{0, E::HostNotFoundError, false}, FrontUnreachableStatus},
        {{0, E::RemoteHostClosedError, false}, FrontUnreachableStatus},
        {{0, E::ProxyConnectionClosedError, false}, FrontUnreachableStatus},
        {{0, E::ContentNotFoundError, true}, FrontUnreachableStatus},
        {{0, E::OperationCanceledError, false}, FrontUpstreamFailedStatus},
        {{0, E::TimeoutError, false}, FrontUpstreamFailedStatus},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.outcome.httpStatus << " " << c.outcome.error);
        EXPECT_EQ(paneStatusFor(c.outcome), c.expected);
    }
}

TEST(NavigateErrorStatus, MapsEngineErrorsToTheStatusesCallersTest) {
    using D = QWebEngineLoadingInfo::ErrorDomain;
    struct Case {
        D domain;
        int code;
        std::optional<quint32> expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.domain << " " << c.code);
        EXPECT_EQ(navigateErrorStatus(c.domain, c.code), c.expected);
    }
}

TEST(ProxyCredentials, AcceptOnlyTheirOwnBasicAuthorization) {
    const ProxyCredentials mine = ProxyCredentials::random();
    const ProxyCredentials other = ProxyCredentials::random();
    EXPECT_TRUE(mine.accepts(mine.basicAuthorization()));
    EXPECT_TRUE(mine.accepts("basic " + mine.basicAuthorization().mid(6)));
    EXPECT_FALSE(mine.accepts(other.basicAuthorization()));
    EXPECT_FALSE(mine.accepts({}));
    EXPECT_FALSE(mine.accepts("Bearer " + mine.basicAuthorization().mid(6)));
    EXPECT_FALSE(mine.accepts("Basic " + (mine.user + ":").toUtf8().toBase64()));
    EXPECT_FALSE(
        mine.accepts("Basic " + (mine.user + ":" + mine.password + "x").toUtf8().toBase64()));
}

TEST(ConnectionStateFrom, UnknownCountsAsConnected) {
    using R = QNetworkInformation::Reachability;
    struct Case {
        R reachability;
        bool ppp;
        bool offline;
        bool connected;
        int flags;
    };
    const Case cases[] = {
        {R::Unknown, false, false, true, 0},
        {R::Online, false, false, true, 0},
        {R::Site, false, false, true, 0},
        // A local link reaches a proxy or a server on the local network.
        {R::Local, false, false, true, 0},
        {R::Disconnected, false, false, false, 0},
        {R::Online, true, false, true, ConnectionState::ModemFlag},
        {R::Online, false, true, true, ConnectionState::OfflineFlag},
        {R::Disconnected, true, true, false, 0x21},
    };
    for (const Case& c : cases) {
        const ConnectionState state = connectionStateFrom(c.reachability, c.ppp, c.offline);
        EXPECT_EQ(state.connected, c.connected);
        EXPECT_EQ(state.flags(), c.flags);
    }
}

TEST(BrowserPanePlacement, IsInTwips) {
    testing::FakeBrowserPane pane;
    pane.setPlacementTwips({150, 300, 9000, 6000});
    EXPECT_EQ(pane.geometry(), QRect(10, 20, 600, 400));
    EXPECT_EQ(pane.placementTwips().width, 9000);
}

TEST(ChromiumFlags, SandboxOffOnlyAsRootAndGpuOffOnlyOffscreen) {
    EXPECT_EQ(chromiumFlags({}, false, false), QStringList{});
    EXPECT_EQ(chromiumFlags({}, true, false), QStringList{"--no-sandbox"});
    EXPECT_EQ(chromiumFlags({}, false, true), QStringList{"--disable-gpu"});
    EXPECT_EQ(chromiumFlags({"--no-sandbox", "--lang=en"}, true, true),
              (QStringList{"--no-sandbox", "--lang=en", "--disable-gpu"}));
}

} // namespace
} // namespace nubivista::platform
