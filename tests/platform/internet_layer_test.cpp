// The Internet layer end to end against the radar simulator over loopback:
// cache lookups, downloads into files and the proxy front the panes use.
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/internet_options_dialog.h"
#include "acquisition/platform/proxy_rules.h"
#include "platform/radar_sim_process.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QNetworkDiskCache>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

using testing::RadarSimProcess;
using testing::radarUrl;

const QString ImagePath = QStringLiteral("/radar/images/DS.p19r0/SI.kmkx/latest.gif");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Runs curl through the front; returns the HTTP status curl saw (or of the
// CONNECT answer with connectStatus), -1 when curl itself failed to run.
struct CurlResult {
    int status = -1;
    int connectStatus = -1;
    QByteArray body;
};

CurlResult curlThroughFront(quint16 port, const QString& url, const QString& credentials = {},
                            bool tunnel = false, int maxSeconds = 20) {
    QStringList args{"-s", "-o", "-", "-w", "\n%{http_code} %{http_connect}"};
    args << "--max-time" << QString::number(maxSeconds) << "-x"
         << QStringLiteral("http://127.0.0.1:%1").arg(port);
    if (!credentials.isEmpty())
        args << "--proxy-user" << credentials;
    if (tunnel)
        args << "--proxytunnel";
    args << url;
    QProcess curl;
    curl.start(QStringLiteral("curl"), args);
    if (!curl.waitForFinished(30000))
        return {};
    QByteArray out = curl.readAllStandardOutput();
    const qsizetype cut = out.lastIndexOf('\n');
    const QList<QByteArray> codes = out.mid(cut + 1).split(' ');
    CurlResult result;
    result.body = out.left(cut);
    result.status = codes.value(0).toInt();
    result.connectStatus = codes.value(1).toInt();
    return result;
}

class InternetLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.isRunning()) << "radar-sim did not start";
        InternetLayerOptions options;
        options.cacheFolder = home.filePath("cache");
        options.upstreamProxy = sim.asProxy();
        options.installApplicationProxy = false;
        layer = std::make_unique<InternetLayer>(options);
        ASSERT_TRUE(layer->isRunning());
    }
    void TearDown() override { sim.clearFaults(); }

    QString target(const QString& name = QStringLiteral("latest1.gif")) const {
        return home.filePath(name);
    }
    QByteArray cachedBody(const QUrl& address) {
        QNetworkDiskCache cache;
        cache.setCacheDirectory(layer->cacheFolder());
        std::unique_ptr<QIODevice> body(cache.data(address));
        return body ? body->readAll() : QByteArray();
    }

    RadarSimProcess sim;
    QTemporaryDir home;
    std::unique_ptr<InternetLayer> layer;
};

TEST_F(InternetLayerTest, LookupFailsForAnAddressNeverFetched) {
    EXPECT_FALSE(layer->cacheEntry(radarUrl(ImagePath)).has_value());
}

TEST_F(InternetLayerTest, DownloadWritesTheCachedBytesAndTheLookupReportsThem) {
    const DownloadResult result = layer->downloadToFile(radarUrl(ImagePath), target());
    ASSERT_TRUE(result.ok) << result.error.toStdString();

    const QByteArray file = readFile(target());
    EXPECT_TRUE(file.startsWith("GIF8"));
    EXPECT_EQ(file, cachedBody(radarUrl(ImagePath)));

    const auto entry = layer->cacheEntry(radarUrl(ImagePath));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->size, file.size());
    EXPECT_EQ(entry->lastModifiedUtc, sim.newestFrame());
    EXPECT_EQ(entry->lastModifiedUtc.timeSpec(), Qt::UTC);
}

TEST_F(InternetLayerTest, ServerErrorsAndFaultsLeaveTheTargetAsItWas) {
    struct Case {
        const char* fault;
        const char* path;
    };
    const Case cases[] = {
        {"name=404&match=latest.gif", "/radar/images/DS.p19r0/SI.kmkx/latest.gif"},
        {"name=500&match=latest.gif", "/radar/images/DS.p19r0/SI.kgrr/latest.gif"},
        {"name=truncate&match=latest.gif", "/radar/images/DS.p19r0/SI.kdtx/latest.gif"},
        {"name=close&match=latest.gif", "/radar/images/DS.p19r0/SI.kiwx/latest.gif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        writeFile(target(), "previous image");
        ASSERT_TRUE(sim.setFault(QString::fromLatin1(c.fault)));
        const DownloadResult result =
            layer->downloadToFile(radarUrl(QString::fromLatin1(c.path)), target());
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_EQ(readFile(target()), "previous image");
        ASSERT_TRUE(sim.clearFaults());
    }
    // No temporary file is left beside the target.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"latest1.gif"});
}

TEST_F(InternetLayerTest, AHungServerTimesOutWithinTheLimit) {
    layer->setDownloadLimits({1500, 20 * 1024 * 1024});
    writeFile(target(), "previous image");
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=hang&match=latest.gif")));
    QElapsedTimer clock;
    clock.start();
    const DownloadResult result = layer->downloadToFile(radarUrl(ImagePath), target());
    EXPECT_FALSE(result.ok);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(readFile(target()), "previous image");
}

TEST_F(InternetLayerTest, AFileLargerThanTheLimitIsRefused) {
    layer->setDownloadLimits({30000, 1000});
    writeFile(target(), "previous image");
    EXPECT_FALSE(layer->downloadToFile(radarUrl(ImagePath), target()).ok);
    EXPECT_EQ(readFile(target()), "previous image");
}

TEST_F(InternetLayerTest, OfflineDownloadsUseTheCacheOnly) {
    ASSERT_TRUE(layer->downloadToFile(radarUrl(ImagePath), target("a.gif")).ok);
    ASSERT_TRUE(layer->goOffline());
    EXPECT_TRUE(layer->connectionState().offline);
    EXPECT_EQ(layer->connectionState().flags() & ConnectionState::OfflineFlag,
              ConnectionState::OfflineFlag);

    // Even a fault at the server cannot reach an offline download.
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=500")));
    EXPECT_TRUE(layer->downloadToFile(radarUrl(ImagePath), target("b.gif")).ok);
    EXPECT_EQ(readFile(target("b.gif")), readFile(target("a.gif")));
    ASSERT_TRUE(sim.clearFaults());

    const QUrl uncached = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.kgrr/latest.gif"));
    EXPECT_FALSE(layer->downloadToFile(uncached, target("c.gif")).ok);
    EXPECT_FALSE(QFile::exists(target("c.gif")));

    ASSERT_TRUE(layer->goOnline());
    EXPECT_FALSE(layer->connectionState().offline);
    EXPECT_TRUE(layer->downloadToFile(uncached, target("c.gif")).ok);
}

TEST_F(InternetLayerTest, ClearingTheCacheForgetsEntries) {
    ASSERT_TRUE(layer->downloadToFile(radarUrl(ImagePath), target()).ok);
    ASSERT_TRUE(layer->cacheEntry(radarUrl(ImagePath)).has_value());
    EXPECT_GT(layer->cacheSize(), 0);
    layer->clearCache();
    EXPECT_FALSE(layer->cacheEntry(radarUrl(ImagePath)).has_value());
}

TEST_F(InternetLayerTest, FrontRefusesClientsWithoutTheRunsCredentials) {
    const quint16 port = layer->paneProxy().port();
    const QString page = radarUrl(QStringLiteral("/radar/national.html")).toString();

    EXPECT_EQ(curlThroughFront(port, page).status, 407);
    EXPECT_EQ(curlThroughFront(port, page, QStringLiteral("nobody:guess")).status, 407);

    const ProxyCredentials& c = layer->credentials();
    const CurlResult served = curlThroughFront(port, page, c.user + u':' + c.password);
    EXPECT_EQ(served.status, 200);
    EXPECT_TRUE(served.body.contains("si.kmkx.shtml")) << served.body.left(200).toStdString();
    // What the front served is in the layer's cache.
    EXPECT_TRUE(layer->cacheEntry(QUrl(page)).has_value());
}

TEST_F(InternetLayerTest, FrontPassesServerStatusesAndMarksUnreachableAddresses) {
    const quint16 port = layer->paneProxy().port();
    const ProxyCredentials& c = layer->credentials();
    const QString credentials = c.user + u':' + c.password;

    EXPECT_EQ(
        curlThroughFront(port, radarUrl("/radar/no-such-page.html").toString(), credentials).status,
        404);
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=close&match=kgrr")));
    EXPECT_EQ(curlThroughFront(port, radarUrl("/radar/latest/DS.p19r0/si.kgrr.shtml").toString(),
                               credentials)
                  .status,
              FrontUnreachableStatus);
    ASSERT_TRUE(sim.clearFaults());

    // A tunnel that cannot be opened (the upstream proxy refuses CONNECT)
    // looks like any address that cannot be reached.
    const CurlResult tunnel =
        curlThroughFront(port, QStringLiteral("https://weather.noaa.gov/"), credentials);
    EXPECT_EQ(tunnel.connectStatus, FrontUnreachableStatus);

    // Offline, an address not in the cache cannot be reached.
    layer->goOffline();
    EXPECT_EQ(curlThroughFront(port, radarUrl("/radar/latest/DS.p19r0/si.kdtx.shtml").toString(),
                               credentials)
                  .status,
              FrontUnreachableStatus);
}

TEST(InternetLayerTunnelTest, ConnectOpensATunnelWhileOnline) {
    RadarSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir home;
    InternetLayerOptions options;
    options.cacheFolder = home.filePath("cache");
    options.upstreamProxy = QNetworkProxy(QNetworkProxy::NoProxy);
    options.installApplicationProxy = false;
    InternetLayer layer(options);
    const ProxyCredentials& c = layer.credentials();
    const QString credentials = c.user + u':' + c.password;
    // Plain HTTP inside the tunnel, straight to the simulator.
    const QString direct =
        QStringLiteral("http://127.0.0.1:%1/radar/national.html").arg(sim.port());

    const CurlResult through =
        curlThroughFront(layer.paneProxy().port(), direct, credentials, true);
    EXPECT_EQ(through.connectStatus, 200);
    EXPECT_EQ(through.status, 200);
    EXPECT_TRUE(through.body.contains("si.kmkx.shtml"));

    EXPECT_EQ(curlThroughFront(layer.paneProxy().port(), direct, {}, true).connectStatus, 407);
    layer.goOffline();
    EXPECT_EQ(curlThroughFront(layer.paneProxy().port(), direct, credentials, true).connectStatus,
              FrontUnreachableStatus);
}

TEST_F(InternetLayerTest, FrontSurvivesAPaneThatHangsUpWhileTheServerIsSilent) {
    const quint16 port = layer->paneProxy().port();
    const ProxyCredentials& c = layer->credentials();
    const QString credentials = c.user + u':' + c.password;
    const QString image = radarUrl(ImagePath).toString();
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=hang&match=latest.gif")));
    EXPECT_EQ(curlThroughFront(port, image, credentials, false, 1).status, 0); // curl gave up
    // Releasing the held connection finishes the fetch for a pane that is gone.
    ASSERT_TRUE(sim.clearFaults());
    EXPECT_EQ(curlThroughFront(port, image, credentials).status, 200);
}

TEST_F(InternetLayerTest, FrontRefusesToFetchFromItself) {
    const quint16 port = layer->paneProxy().port();
    const ProxyCredentials& c = layer->credentials();
    EXPECT_EQ(curlThroughFront(port, QStringLiteral("http://127.0.0.1:%1/x").arg(port),
                               c.user + u':' + c.password)
                  .status,
              508);
}

TEST(InternetLayerProxyTest, FollowsTheHttpProxyVariableAndNeverItsOwnFront) {
    RadarSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir home;
    const QByteArray saved = qgetenv("http_proxy");
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1/").arg(sim.port()).toLatin1());
    const QNetworkProxy before = QNetworkProxy::applicationProxy();
    {
        InternetLayerOptions options;
        options.cacheFolder = home.filePath("cache");
        InternetLayer layer(options); // the front becomes the application proxy
        ASSERT_EQ(QNetworkProxy::applicationProxy(), layer.paneProxy());
        EXPECT_EQ(layer.upstreamProxyDescription(), QStringLiteral("127.0.0.1:%1").arg(sim.port()));
        const DownloadResult result =
            layer.downloadToFile(radarUrl(ImagePath), home.filePath("latest1.gif"));
        EXPECT_TRUE(result.ok) << result.error.toStdString();
    }
    // The layer takes its application proxy with it.
    EXPECT_EQ(QNetworkProxy::applicationProxy(), before);
    if (saved.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", saved);
}

TEST_F(InternetLayerTest, OptionsDialogShowsTheCacheAndSwitchesOffline) {
    ASSERT_TRUE(layer->downloadToFile(radarUrl(ImagePath), target()).ok);
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
    EXPECT_EQ(text("proxyLabel"), QStringLiteral("127.0.0.1:%1").arg(sim.port()));
    const QString filled = text("cacheSizeLabel");

    QTest::mouseClick(dialog->findChild<QPushButton*>("clearCacheButton"), Qt::LeftButton);
    EXPECT_FALSE(layer->cacheEntry(radarUrl(ImagePath)).has_value());
    EXPECT_NE(text("cacheSizeLabel"), filled);

    auto* offline = dialog->findChild<QCheckBox*>("offlineCheckBox");
    offline->click();
    EXPECT_TRUE(layer->connectionState().offline);
    layer->goOnline();
    EXPECT_FALSE(offline->isChecked());
    dialog->close();
}

} // namespace
} // namespace nubivista::platform
