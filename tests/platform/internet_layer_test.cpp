// The Internet layer end to end against the radar simulator over loopback:
// cache lookups, downloads into files and the proxy front the panes use.
#include "acquisition/platform/internet_options_dialog.h"
#include "acquisition/platform/proxy_rules.h"
#include "platform/e2e_support.h"
#include "support/raw_http.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QHttpServer>
#include <QLabel>
#include <QNetworkDiskCache>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

using namespace testing;
using nubivista::testing::rawExchange;

struct CurlResult {
    int status = -1;        // of the answer; 0 when curl gave up
    int connectStatus = -1; // of the CONNECT answer, for a tunnel
    QByteArray body;
};

class InternetLayerTest : public SimLayerTest {
protected:
    InternetLayerTest() : SimLayerTest(false) {}

    QString target(const QString& name = QStringLiteral("latest1.gif")) const {
        return home.filePath(name);
    }

    // A real client (curl -x) through the front.
    CurlResult curl(const QString& url, bool withCredentials = true, bool tunnel = false,
                    int maxSeconds = 30) const {
        QStringList args{"-s", "-w", "\n%{http_code} %{http_connect}", "--max-time",
                         QString::number(maxSeconds)};
        // Through the front even for loopback addresses that NO_PROXY may name.
        args << "--noproxy"
             << ""
             << "-x" << QStringLiteral("http://127.0.0.1:%1").arg(layer->paneProxy().port());
        const ProxyCredentials& c = layer->credentials();
        if (withCredentials)
            args << "--proxy-user" << c.user + u':' + c.password;
        if (tunnel)
            args << "--proxytunnel";
        QProcess process;
        QSignalSpy done(&process, &QProcess::finished);
        process.start(QStringLiteral("curl"), args << url);
        // Events keep running meanwhile, for a server inside this test.
        if (!done.wait((maxSeconds + 30) * 1000))
            return {};
        const QByteArray out = process.readAllStandardOutput();
        const qsizetype cut = out.lastIndexOf('\n');
        const QList<QByteArray> codes = out.mid(cut + 1).split(' ');
        return {codes.value(0).toInt(), codes.value(1).toInt(), out.left(cut)};
    }
};

TEST_F(InternetLayerTest, DownloadsWriteTheCachedBytesAndOfflineOnlyThose) {
    const QUrl image = radarUrl(KmkxImagePath);
    EXPECT_FALSE(layer->cacheEntry(image).has_value()); // never fetched
    const DownloadResult result = layer->downloadToFile(image, target("a.gif"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QByteArray file = readBytes(target("a.gif"));
    EXPECT_TRUE(file.startsWith("GIF8"));
    QNetworkDiskCache cache;
    cache.setCacheDirectory(layer->cacheFolder());
    const std::unique_ptr<QIODevice> cached(cache.data(image));
    ASSERT_TRUE(cached);
    EXPECT_EQ(file, cached->readAll());
    const auto entry = layer->cacheEntry(image);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->size, file.size());
    EXPECT_EQ(entry->lastModifiedUtc, sim.newestFrame());
    EXPECT_EQ(entry->lastModifiedUtc.timeSpec(), Qt::UTC);

    ASSERT_TRUE(layer->goOffline());
    EXPECT_TRUE(layer->connectionState().offline);
    // Even a fault at the server cannot reach an offline download.
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=500")));
    EXPECT_TRUE(layer->downloadToFile(image, target("b.gif")).ok);
    EXPECT_EQ(readBytes(target("b.gif")), file);
    ASSERT_TRUE(sim.clearFaults());
    const QUrl uncached = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.kgrr/latest.gif"));
    const DownloadResult notCached = layer->downloadToFile(uncached, target("c.gif"));
    EXPECT_FALSE(notCached.ok);
    EXPECT_EQ(notCached.error, QStringLiteral("Not in the Internet cache while working offline"));
    EXPECT_FALSE(QFile::exists(target("c.gif")));

    ASSERT_TRUE(layer->goOnline());
    EXPECT_FALSE(layer->connectionState().offline);
    EXPECT_TRUE(layer->downloadToFile(uncached, target("c.gif")).ok);
}

TEST_F(InternetLayerTest, EachFailedDownloadSaysWhyAndLeavesTheTargetAsItWas) {
    struct Case {
        const char* fault;
        const char* site; // a different site each, so no cached copy can serve it
        DownloadLimits limits;
        const char* reason; // what the user is told: a pattern found in it
    };
    const DownloadLimits small{30000, 1000};
    const Case cases[] = {
        {"name=404", "kmkx", {}, "Not Found"},
        {"name=500", "kgrb", {}, "Internal Server Error"},
        // The network library notices the early close itself.
        {"name=truncate", "kdtx", {}, "closed"},
        {"name=close", "kiwx", {}, "closed"},
        {"name=hang", "kfws", {1500, 20 * 1024 * 1024}, "Timed out"},
        // Bodies over the limit, announced by their length or not.
        {"name=none", "kmpx", small, R"(File too large \(\d+ bytes\))"},
        {"name=no-length", "kdvn", small, R"(File too large \(over 1000 bytes\))"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(writeBytes(target(), "previous image"));
        ASSERT_TRUE(sim.setFault(QString::fromLatin1(c.fault) + "&match=latest.gif"));
        layer->setDownloadLimits(c.limits);
        QElapsedTimer clock;
        clock.start();
        const DownloadResult result = layer->downloadToFile(
            radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.%1/latest.gif").arg(c.site)),
            target());
        EXPECT_FALSE(result.ok);
        const QRegularExpression reason(QString::fromLatin1(c.reason),
                                        QRegularExpression::CaseInsensitiveOption);
        EXPECT_TRUE(reason.match(result.error).hasMatch()) << result.error.toStdString();
        // Within the download's own time limit, well before the backstop of
        // the wait for it, which gives up 5 s later.
        EXPECT_LT(clock.elapsed(), c.limits.timeoutMs + 2500);
        EXPECT_EQ(readBytes(target()), "previous image");
        ASSERT_TRUE(sim.clearFaults());
    }
    // No temporary file is left beside the target.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"latest1.gif"});
}

TEST_F(InternetLayerTest, ABodyWithoutItsLengthWithinTheLimitIsKept) {
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=no-length&match=latest.gif")));
    const DownloadResult result = layer->downloadToFile(radarUrl(KmkxImagePath), target());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(readBytes(target()).startsWith("GIF8"));
}

TEST_F(InternetLayerTest, AnAnswerThatIsNotTheFileIsRefused) {
    // "Multiple choices" and an unasked-for "not modified" finish without a
    // network error; their status alone says that no image came.
    QHttpServer server;
    server.route("/answer<arg>.gif", [](int code) {
        QHttpServerResponse response(QByteArray("moved"), QHttpServerResponse::StatusCode(code));
        return response;
    });
    const quint16 port = server.listen(QHostAddress::LocalHost, 0);
    ASSERT_NE(port, 0);
    layer->setUpstreamProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    ASSERT_TRUE(writeBytes(target(), "previous image"));
    for (int code : {300, 304}) {
        const DownloadResult result = layer->downloadToFile(
            QUrl(QStringLiteral("http://127.0.0.1:%1/answer%2.gif").arg(port).arg(code)), target());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, QStringLiteral("Server answered %1").arg(code));
        EXPECT_EQ(readBytes(target()), "previous image");
    }
}

TEST_F(InternetLayerTest, ACachedCopyShorterThanItsLengthIsRefused) {
    // A cache file cut short on disk (a crash, a full disk) still carries the
    // full Content-Length; the download must not pass the short body on.
    const QUrl image = radarUrl(KmkxImagePath);
    ASSERT_TRUE(layer->downloadToFile(image, target("whole.gif")).ok);
    ASSERT_TRUE(layer->goOffline());
    QString cacheFile;
    QDirIterator files(layer->cacheFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (QFileInfo(path).size() > readBytes(target("whole.gif")).size())
            cacheFile = path;
    }
    ASSERT_FALSE(cacheFile.isEmpty());
    QFile cut(cacheFile);
    ASSERT_TRUE(cut.resize(cut.size() - 200));

    ASSERT_TRUE(writeBytes(target(), "previous image"));
    const DownloadResult result = layer->downloadToFile(image, target());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith(QLatin1String("Incomplete file")))
        << result.error.toStdString();
    EXPECT_EQ(readBytes(target()), "previous image");
}

TEST_F(InternetLayerTest, ACompressingServersBodiesLandInTheCache) {
    // Like most servers, this one compresses text for a client that accepts it.
    const QByteArray list = QByteArray("images/DS.p19r0/SI.kmkx/frame.gif\n").repeated(40);
    QHttpServer server;
    server.route("/list.txt", [&list](const QHttpServerRequest& request) {
        const bool deflate = request.value("Accept-Encoding").contains("deflate");
        QHttpServerResponse response("text/plain", deflate ? qCompress(list).mid(4) : list);
        if (deflate)
            response.addHeader("Content-Encoding", "deflate");
        response.addHeader("Last-Modified", "Tue, 01 Jun 2004 12:00:00 GMT");
        response.addHeader("Cache-Control", "max-age=600");
        return response;
    });
    const quint16 port = server.listen(QHostAddress::LocalHost, 0);
    ASSERT_NE(port, 0);
    layer->setUpstreamProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    const QUrl address(QStringLiteral("http://127.0.0.1:%1/list.txt").arg(port));

    EXPECT_EQ(curl(address.toString()).body, list);
    EXPECT_TRUE(layer->cacheEntry(address).has_value());
    layer->clearCache();
    ASSERT_TRUE(layer->downloadToFile(address, target("online.txt")).ok);
    EXPECT_EQ(readBytes(target("online.txt")), list);
    const auto entry = layer->cacheEntry(address);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->size, list.size());

    layer->goOffline();
    const DownloadResult offline = layer->downloadToFile(address, target("offline.txt"));
    EXPECT_TRUE(offline.ok) << offline.error.toStdString();
    EXPECT_EQ(readBytes(target("offline.txt")), list);
}

// A status page is read as the server says it now: never from the cache,
// never into it, and any failure is only an answer of nothing.
TEST_F(InternetLayerTest, FreshFetchesSkipTheCacheAndAnswerNothingOnFailure) {
    int asked = 0;
    QHttpServer server;
    server.route("/status.json", [&asked] {
        QHttpServerResponse response("application/json", QByteArray::number(++asked));
        response.addHeader("Cache-Control", "max-age=600");
        response.addHeader("Last-Modified", "Tue, 01 Jun 2004 12:00:00 GMT");
        return response;
    });
    const quint16 port = server.listen(QHostAddress::LocalHost, 0);
    ASSERT_NE(port, 0);
    layer->setUpstreamProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    const auto address = [port](const char* path) {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1String(path)));
    };
    QList<std::optional<QByteArray>> answers;
    QObject receiver;
    const auto fetch = [&](const char* path) {
        const qsizetype before = answers.size();
        layer->fetchFresh(address(path), 5000, &receiver,
                          [&answers](std::optional<QByteArray> body) { answers << body; });
        EXPECT_EQ(answers.size(), before) << "never inside the call";
        EXPECT_TRUE(QTest::qWaitFor([&] { return answers.size() > before; }, 10000));
        return answers.value(before, QByteArray("no answer"));
    };
    EXPECT_EQ(fetch("/status.json"), QByteArray("1"));
    EXPECT_EQ(fetch("/status.json"), QByteArray("2"));
    EXPECT_FALSE(layer->cacheEntry(address("/status.json")));
    EXPECT_EQ(fetch("/missing.json"), std::nullopt);
    layer->goOffline();
    EXPECT_EQ(fetch("/status.json"), std::nullopt);
    EXPECT_EQ(asked, 2);
}

TEST_F(InternetLayerTest, FrontAnswersWithTheServersStatusOrItsOwn) {
    const QString page = radarUrl(QStringLiteral("/radar/national.html")).toString();
    // Plain HTTP inside a tunnel, straight to the simulator.
    const QString inTunnel =
        QStringLiteral("http://127.0.0.1:%1/radar/national.html").arg(sim.port());
    const QString kgrr =
        radarUrl(QStringLiteral("/radar/latest/DS.p19r0/si.kgrr.shtml")).toString();
    struct Case {
        const char* name;
        QString url;
        int status; // -1: not checked
        int connectStatus = 0;
        bool credentials = true, tunnel = false, directUpstream = false, offline = false;
        const char* fault = "none";
    };
    const Case cases[] = {
        {"no credentials", page, 407, 0, false},
        {"tunnel without credentials", inTunnel, -1, 407, false, true, true},
        {"served", page, 200},
        {"server status", radarUrl("/radar/no-such-page.html").toString(), 404},
        {"connection closed", kgrr, FrontUnreachableStatus, 0, true, false, false, false,
         "close&match=kgrr"},
        {"itself", QStringLiteral("http://127.0.0.1:%1/x").arg(layer->paneProxy().port()), 508},
        // The upstream proxy refuses CONNECT: like any address that cannot be reached.
        {"tunnel refused", QStringLiteral("https://weather.noaa.gov/"), -1, FrontUnreachableStatus},
        {"tunnel", inTunnel, 200, 200, true, true, true},
        {"offline, not cached", kgrr, FrontUnreachableStatus, 0, true, false, false, true},
        {"offline tunnel", inTunnel, -1, FrontUnreachableStatus, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(sim.setFault(QStringLiteral("name=") + c.fault));
        layer->setUpstreamProxy(
            c.directUpstream ? QNetworkProxy(QNetworkProxy::NoProxy)
                             : QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", sim.port()));
        c.offline ? layer->goOffline() : layer->goOnline();
        const CurlResult result = curl(c.url, c.credentials, c.tunnel);
        EXPECT_EQ(c.status == -1 ? -1 : result.status, c.status);
        EXPECT_EQ(result.connectStatus, c.connectStatus);
        EXPECT_TRUE(result.status != 200 || result.body.contains("si.kmkx.shtml"));
    }
    // What the front served is in the layer's cache.
    EXPECT_TRUE(layer->cacheEntry(QUrl(page)).has_value());

    // A body is never read before the credentials are seen: only the head
    // of a 300 MB post is sent, and the refusal comes at once.
    const auto post = rawExchange(layer->paneProxy().port(),
                                  "POST " + page.toLatin1() +
                                      " HTTP/1.1\r\nHost: x\r\nContent-Length: 300000000\r\n\r\n",
                                  5000);
    EXPECT_TRUE(post.bytes.startsWith("HTTP/1.1 407 ")) << post.bytes.toStdString();
    EXPECT_TRUE(post.closed);
}

TEST_F(InternetLayerTest, FrontSurvivesAPaneThatHangsUpWhileTheServerIsSilent) {
    const QString image = radarUrl(KmkxImagePath).toString();
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=hang&match=latest.gif")));
    EXPECT_EQ(curl(image, true, false, 1).status, 0); // curl gave up
    // Releasing the held connection finishes the fetch for a pane that is gone.
    ASSERT_TRUE(sim.clearFaults());
    EXPECT_EQ(curl(image).status, 200);
}

TEST_F(InternetLayerTest, OptionsDialogShowsTheCacheAndSwitchesOffline) {
    const QUrl image = radarUrl(KmkxImagePath);
    ASSERT_TRUE(layer->downloadToFile(image, target()).ok);
    ASSERT_TRUE(layer->showOptionsDialog(nullptr));
    InternetOptionsDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<InternetOptionsDialog*>(w); d && d->isVisible())
            dialog = d;
    ASSERT_NE(dialog, nullptr);
    const auto text = [dialog](const char* name) {
        return dialog->findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    EXPECT_EQ(text("cacheFolderLabel"), QDir::toNativeSeparators(layer->cacheFolder()));
    EXPECT_EQ(text("proxyLabel"), QStringLiteral("None (direct connection)"));
    const QString filled = text("cacheSizeLabel");

    QTest::mouseClick(dialog->findChild<QPushButton*>("clearCacheButton"), Qt::LeftButton);
    EXPECT_FALSE(layer->cacheEntry(image).has_value());
    EXPECT_NE(text("cacheSizeLabel"), filled);

    auto* offline = dialog->findChild<QCheckBox*>("offlineCheckBox");
    offline->click();
    EXPECT_TRUE(layer->connectionState().offline);
    layer->goOnline();
    EXPECT_FALSE(offline->isChecked());
    dialog->close();
}

TEST_F(InternetLayerTest, RadarAddressesGoToTheFeedAndOthersTheSystemProxy) {
    const QByteArray saved = qgetenv("http_proxy");
    // Nothing listens on port 1: what takes the system proxy cannot be reached.
    qputenv("http_proxy", "http://127.0.0.1:1/");
    InternetLayerOptions options;
    options.cacheFolder = home.filePath("routed cache");
    options.installApplicationProxy = false;
    options.feedProxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), sim.port());
    InternetLayer routed(options);
    EXPECT_TRUE(routed.downloadToFile(radarUrl(KmkxImagePath), target()).ok);
    EXPECT_EQ(routed.upstreamProxyDescription(), QStringLiteral("127.0.0.1:1"));
    // The simulator would answer this too; it never gets the chance.
    const QUrl disclaimer(QStringLiteral("http://www.nws.noaa.gov/disclaimer.html"));
    EXPECT_FALSE(routed.downloadToFile(disclaimer, target("other.htm")).ok);
    // A feed that is down: its addresses not yet cached fail as unreachable.
    routed.setFeedDown();
    const QUrl other = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.klsx/latest.gif"));
    const DownloadResult down = routed.downloadToFile(other, target("down.gif"));
    EXPECT_FALSE(down.ok);
    // Back on another address: the same addresses go there.
    routed.setFeedProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), sim.port()));
    EXPECT_TRUE(routed.downloadToFile(other, target("up.gif")).ok);
    EXPECT_FALSE(QFile::exists(target("down.gif")));
    if (saved.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", saved);
}

TEST_F(InternetLayerTest, FollowsTheHttpProxyVariableAndNeverItsOwnFront) {
    const QByteArray saved = qgetenv("http_proxy");
    const QByteArray simProxy = QStringLiteral("http://127.0.0.1:%1/").arg(sim.port()).toLatin1();
    qputenv("http_proxy", simProxy);
    const QNetworkProxy before = QNetworkProxy::applicationProxy();
    for (const bool installFront : {true, false}) {
        SCOPED_TRACE(installFront ? "front installed" : "front not installed");
        qputenv("http_proxy", simProxy);
        InternetLayerOptions options;
        options.cacheFolder = home.filePath(installFront ? "second cache" : "third cache");
        options.installApplicationProxy = installFront;
        InternetLayer own(options);
        if (installFront) {
            EXPECT_EQ(QNetworkProxy::applicationProxy(), own.paneProxy());
        }
        EXPECT_EQ(own.upstreamProxyDescription(), QStringLiteral("127.0.0.1:%1").arg(sim.port()));
        const DownloadResult result = own.downloadToFile(radarUrl(KmkxImagePath), target());
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        // A system proxy that names the layer's own front would loop: it goes direct.
        qputenv("http_proxy",
                QStringLiteral("http://127.0.0.1:%1/").arg(own.paneProxy().port()).toLatin1());
        EXPECT_EQ(own.upstreamProxyDescription(), QStringLiteral("None (direct connection)"));
    }
    // The layer takes its application proxy with it.
    EXPECT_EQ(QNetworkProxy::applicationProxy(), before);
    if (saved.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", saved);
}

TEST_F(InternetLayerTest, APictureOfAnotherSourceIsRefusedBeforeTheFileChanges) {
    // The simulator names its pictures "sim"; a layer of the live feed refuses them.
    const struct {
        QByteArray expected;
        bool ok;
    } cases[] = {{"live", false}, {"SIM", true}, {"", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        InternetLayerOptions options;
        options.cacheFolder = home.filePath("cache " + QString::fromLatin1(c.expected));
        options.feedProxy = QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", sim.port());
        options.upstreamProxy = QNetworkProxy(QNetworkProxy::NoProxy);
        options.installApplicationProxy = false;
        options.pictureSource = c.expected;
        InternetLayer own(options);
        ASSERT_TRUE(writeBytes(target(), "before"));
        const DownloadResult result = own.downloadToFile(radarUrl(KmkxImagePath), target());
        EXPECT_EQ(result.ok, c.ok) << result.error.toStdString();
        EXPECT_EQ(result.refusedSource, c.ok ? QString() : QStringLiteral("sim"));
        EXPECT_EQ(readBytes(target()) == "before", !c.ok);
    }
}

} // namespace
} // namespace nubivista::platform
