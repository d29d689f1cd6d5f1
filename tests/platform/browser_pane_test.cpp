// Browser panes end to end: real WebEngine panes behind the layer's proxy
// front, the layer fetching from the radar simulator over loopback.
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "acquisition/platform/web_engine_setup.h"
#include "platform/radar_sim_process.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

using testing::RadarSimProcess;
using testing::radarUrl;

constexpr int LoadTimeoutMs = 30000;

// Records what a pane reports, in order.
struct PaneLog {
    explicit PaneLog(BrowserPane& pane) {
        QObject::connect(&pane, &BrowserPane::documentComplete,
                         [this](const QUrl& url) { completed.append(url); });
        QObject::connect(&pane, &BrowserPane::navigateError, [this](const QUrl& url, quint32 code) {
            errors.append({url, code});
        });
        QObject::connect(&pane, &BrowserPane::downloadComplete, [this] { ++downloadsComplete; });
    }
    QList<QUrl> completed;
    QList<QPair<QUrl, quint32>> errors;
    int downloadsComplete = 0;
};

class BrowserPaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { prepareWebEngineEnvironment(); }

    void SetUp() override {
        ASSERT_TRUE(sim.isRunning()) << "radar-sim did not start";
        InternetLayerOptions options;
        options.cacheFolder = home.filePath("cache");
        options.upstreamProxy = sim.asProxy();
        layer = std::make_unique<InternetLayer>(options);
        ASSERT_TRUE(layer->isRunning());
        profile = std::make_unique<PaneProfile>(layer->credentials());
        pane = std::make_unique<WebEnginePane>(*profile);
        pane->resize(640, 480);
        pane->show();
        log = std::make_unique<PaneLog>(*pane);
    }
    void TearDown() override {
        sim.clearFaults();
        log.reset();
        pane.reset();
        profile.reset();
        layer.reset();
    }

    // Loads an address and waits for its document complete or navigate error.
    void load(const QUrl& address) {
        const qsizetype before = log->completed.size() + log->errors.size();
        pane->navigate(address);
        QTRY_VERIFY_WITH_TIMEOUT(log->completed.size() + log->errors.size() > before,
                                 LoadTimeoutMs);
    }

    RadarSimProcess sim;
    QTemporaryDir home;
    std::unique_ptr<InternetLayer> layer;
    std::unique_ptr<PaneProfile> profile;
    std::unique_ptr<WebEnginePane> pane;
    std::unique_ptr<PaneLog> log;
};

const QString KmkxImage = QStringLiteral("/radar/images/DS.p19r0/SI.kmkx/latest.gif");

TEST_F(BrowserPaneTest, ALoadedImageIsInTheCacheWithTheServersTimeAndSize) {
    const QUrl image = radarUrl(KmkxImage);
    load(image);
    ASSERT_TRUE(log->errors.isEmpty()) << log->errors.first().second;
    EXPECT_EQ(log->completed.last(), image);
    EXPECT_EQ(pane->currentAddress(), image);

    const auto entry = layer->cacheEntry(image);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->lastModifiedUtc, sim.newestFrame());
    // The size is that of the image the server sends.
    const QByteArray served = sim.get(KmkxImage);
    ASSERT_TRUE(served.startsWith("GIF8"));
    EXPECT_EQ(entry->size, served.size());
}

TEST_F(BrowserPaneTest, OnlyARefreshBringsANewFrameIntoTheCache) {
    const QUrl page = radarUrl(QStringLiteral("/radar/latest/DS.p19r0/si.kmkx.shtml"));
    const QUrl image = radarUrl(KmkxImage);
    load(page);
    QTRY_VERIFY_WITH_TIMEOUT(layer->cacheEntry(image).has_value(), LoadTimeoutMs);
    const QDateTime first = layer->cacheEntry(image)->lastModifiedUtc;

    ASSERT_TRUE(sim.advance());
    const QDateTime published = sim.newestFrame();
    ASSERT_GT(published, first);
    // Loading the page again without a refresh keeps the cached copy, which
    // the server declared fresh for minutes.
    load(page);
    EXPECT_EQ(layer->cacheEntry(image)->lastModifiedUtc, first);

    const int completedBefore = log->completed.size();
    pane->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(log->completed.size() > completedBefore, LoadTimeoutMs);
    EXPECT_EQ(layer->cacheEntry(image)->lastModifiedUtc, published);
}

TEST_F(BrowserPaneTest, ALoopPageLeavesItsListAndTenImagesInTheCache) {
    load(radarUrl(QStringLiteral("/radar/loop/DS.p19r0/si.kmkx.shtml")));
    ASSERT_TRUE(log->errors.isEmpty());
    const QUrl list = radarUrl(QStringLiteral("/radar/loopdata/DS.p19r0/kmkx.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(layer->cacheEntry(list).has_value(), LoadTimeoutMs);

    const QString listFile = home.filePath("loopfils.txt");
    ASSERT_TRUE(layer->downloadToFile(list, listFile).ok);
    QFile file(listFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 10);
    for (const QByteArray& line : lines) {
        const QUrl image = radarUrl(QStringLiteral("/radar/") + QString::fromLatin1(line));
        SCOPED_TRACE(image.toString().toStdString());
        QTRY_VERIFY_WITH_TIMEOUT(layer->cacheEntry(image).has_value(), LoadTimeoutMs);
    }
}

TEST_F(BrowserPaneTest, OfflineCachedAddressesStillShowAndOthersFailAsNotFound) {
    const QUrl cached = radarUrl(KmkxImage);
    const QUrl uncached = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.kgrr/latest.gif"));
    load(cached);
    ASSERT_TRUE(log->errors.isEmpty());

    layer->goOffline();
    load(cached);
    EXPECT_TRUE(log->errors.isEmpty());
    EXPECT_EQ(log->completed.last(), cached);
    EXPECT_TRUE(layer->downloadToFile(cached, home.filePath("latest1.gif")).ok);

    load(uncached);
    ASSERT_EQ(log->errors.size(), 1);
    EXPECT_EQ(log->errors.first().first, uncached);
    EXPECT_EQ(log->errors.first().second, ResourceNotFoundStatus);
    EXPECT_FALSE(layer->cacheEntry(uncached).has_value());

    layer->goOnline();
    load(uncached);
    EXPECT_EQ(log->errors.size(), 1);
    EXPECT_EQ(log->completed.last(), uncached);
    EXPECT_TRUE(layer->cacheEntry(uncached).has_value());
}

TEST_F(BrowserPaneTest, NavigateErrorsCarryTheServersStatusOrNotFound) {
    struct Case {
        const char* fault;
        quint32 status;
    };
    const Case cases[] = {{"name=404&match=kmkx", 404u},
                          {"name=500&match=kmkx", 500u},
                          {"name=close&match=kmkx", ResourceNotFoundStatus}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(sim.setFault(QString::fromLatin1(c.fault)));
        log->errors.clear();
        load(radarUrl(QStringLiteral("/radar/latest/DS.p19r0/si.kmkx.shtml")));
        ASSERT_EQ(log->errors.size(), 1);
        EXPECT_EQ(log->errors.first().second, c.status);
        ASSERT_TRUE(sim.clearFaults());
    }
}

TEST_F(BrowserPaneTest, BeforeNavigateCanRefuseANavigation) {
    QList<QUrl> asked;
    QObject::connect(pane.get(), &BrowserPane::beforeNavigate,
                     [&asked](const QUrl& url, bool& cancel) {
                         asked.append(url);
                         cancel = url.path().contains(QLatin1String("kgrr"));
                     });
    const QUrl allowed = radarUrl(KmkxImage);
    load(allowed);
    const QUrl refused = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.kgrr/latest.gif"));
    pane->navigate(refused);
    QTRY_VERIFY(asked.contains(refused));
    // The refused address is never fetched and the pane stays where it was.
    EXPECT_FALSE(layer->cacheEntry(refused).has_value());
    EXPECT_EQ(pane->currentAddress(), allowed);
    EXPECT_TRUE(log->errors.isEmpty());
}

TEST_F(BrowserPaneTest, ABlankTargetIsANewWindowRequestThatCanGoToAnotherPane) {
    WebEnginePane other(*profile);
    PaneLog otherLog(other);
    QList<QUrl> requested;
    QObject::connect(pane.get(), &BrowserPane::newWindowRequested, [&](NewWindowRequest& request) {
        requested.append(request.address);
        request.openIn = &other;
    });
    const QUrl image = radarUrl(KmkxImage);
    pane->navigate(image, QStringLiteral("_blank"));
    ASSERT_EQ(requested, QList<QUrl>{image});
    QTRY_VERIFY_WITH_TIMEOUT(!otherLog.completed.isEmpty(), LoadTimeoutMs);
    EXPECT_EQ(other.currentAddress(), image);
    EXPECT_TRUE(pane->currentAddress().isEmpty());
}

TEST_F(BrowserPaneTest, PlacementIsInTwips) {
    pane->setPlacementTwips({150, 300, 9000, 6000});
    EXPECT_EQ(pane->geometry(), QRect(10, 20, 600, 400));
    const PlacementTwips placement = pane->placementTwips();
    EXPECT_EQ(placement.left, 150);
    EXPECT_EQ(placement.width, 9000);
}

} // namespace
} // namespace nubivista::platform
