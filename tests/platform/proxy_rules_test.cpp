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
        // Without a Host header the request's own port stands, 0 for none.
        {"http://weather.noaa.gov:0/a", "", "http://weather.noaa.gov/a"},
        {"http://weather.noaa.gov:8080/a", "", "http://weather.noaa.gov:8080/a"},
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

TEST(ConnectionStateFrom, OnlyANetworkKnownToBeDownIsDisconnected) {
    using R = QNetworkInformation::Reachability;
    const std::pair<R, bool> cases[] = {{R::Disconnected, false},
                                        {R::Unknown, true},
                                        {R::Local, true},
                                        {R::Site, true},
                                        {R::Online, true}};
    for (const auto& [reachability, connected] : cases)
        EXPECT_EQ(connectionStateFrom(reachability, false, false).connected, connected)
            << int(reachability);
    EXPECT_EQ(connectionStateFrom(R::Online, true, false).flags(), ConnectionState::ModemFlag);
    EXPECT_EQ(connectionStateFrom(R::Disconnected, false, true).flags(),
              ConnectionState::OfflineFlag);
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
