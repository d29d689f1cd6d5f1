// Browser panes end to end: real WebEngine panes behind the layer's proxy
// front, the layer fetching from the radar simulator over loopback.
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "acquisition/platform/web_engine_setup.h"
#include "platform/e2e_support.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

using namespace testing;

// Generous: a loaded CI machine may take long to start the browser engine.
constexpr int LoadTimeoutMs = 60000;

const QUrl KmkxPage = radarUrl(QStringLiteral("/radar/latest/DS.p19r0/si.kmkx.shtml"));
const QUrl KgrrImage = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.kgrr/latest.gif"));

// Records what a pane reports, in order.
struct PaneLog {
    explicit PaneLog(BrowserPane& pane) {
        QObject::connect(&pane, &BrowserPane::documentComplete,
                         [this](const QUrl& url) { completed.append(url); });
        QObject::connect(&pane, &BrowserPane::navigateError, [this](const QUrl& url, quint32 code) {
            errors.append({url, code});
        });
    }
    qsizetype finished() const { return completed.size() + errors.size(); }
    QList<QUrl> completed;
    QList<QPair<QUrl, quint32>> errors;
};

class BrowserPaneTest : public SimLayerTest {
protected:
    // The panes reach the layer through the application proxy.
    BrowserPaneTest() : SimLayerTest(true) {}
    static void SetUpTestSuite() { prepareWebEngineEnvironment(); }

    void SetUp() override {
        SimLayerTest::SetUp();
        if (HasFatalFailure())
            return;
        profile = std::make_unique<PaneProfile>(layer->credentials());
        pane = std::make_unique<WebEnginePane>(*profile);
        pane->resize(640, 480);
        pane->show();
        // As the main window does: no dialogs while a page loads.
        QObject::connect(pane.get(), &BrowserPane::downloadBegin,
                         [this] { pane->setSilent(true); });
        QObject::connect(pane.get(), &BrowserPane::documentComplete,
                         [this] { pane->setSilent(false); });
        log = std::make_unique<PaneLog>(*pane);
    }

    // Loads an address (or refreshes) and waits for its document complete or navigate error.
    void load(const QUrl& address) {
        const qsizetype before = log->finished();
        if (address.isEmpty())
            pane->refresh();
        else
            pane->navigate(address);
        QTRY_VERIFY_WITH_TIMEOUT(log->finished() > before, LoadTimeoutMs);
    }

    // Panes go before their profile, the profile before the layer.
    std::unique_ptr<PaneProfile> profile;
    std::unique_ptr<WebEnginePane> pane;
    std::unique_ptr<PaneLog> log;
};

TEST_F(BrowserPaneTest, TheLookupReportsTheLoadedImageAndOnlyARefreshBringsANewFrame) {
    const QUrl image = radarUrl(KmkxImagePath);
    load(image);
    ASSERT_TRUE(log->errors.isEmpty()) << log->errors.first().second;
    EXPECT_EQ(log->completed.last(), image);
    EXPECT_EQ(pane->currentAddress(), image);
    const auto first = layer->cacheEntry(image);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->lastModifiedUtc, sim.newestFrame());
    const QByteArray served = sim.get(KmkxImagePath);
    ASSERT_TRUE(served.startsWith("GIF8"));
    EXPECT_EQ(first->size, served.size());

    ASSERT_TRUE(sim.advance());
    const QDateTime published = sim.newestFrame();
    ASSERT_GT(published, first->lastModifiedUtc);
    // A page showing the image takes the cached copy, which the server
    // declared fresh for minutes; only a refresh asks the server again.
    load(KmkxPage);
    EXPECT_EQ(layer->cacheEntry(image)->lastModifiedUtc, first->lastModifiedUtc);
    load({});
    EXPECT_EQ(layer->cacheEntry(image)->lastModifiedUtc, published);
}

TEST_F(BrowserPaneTest, ALoopPageFinishesOnlyOnceItsListAndTenImagesAreInTheCache) {
    // Every frame is slow to come. Had the page finished loading before its
    // frames, they would still be on their way for well over a second; the
    // back-dated start reads them from the cache right after the load.
    constexpr int FrameDelayMs = 1500;
    ASSERT_TRUE(sim.setFault(QStringLiteral("name=delay&ms=%1&match=/sn_").arg(FrameDelayMs)));
    load(radarUrl(QStringLiteral("/radar/loop/DS.p19r0/si.kmkx.shtml")));
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    ASSERT_TRUE(log->errors.isEmpty());
    const QUrl list = radarUrl(QStringLiteral("/radar/loopdata/DS.p19r0/kmkx.txt"));
    // The cache commits an answer a moment after handing it on; a short
    // grace, far below the frames' delay.
    constexpr int GraceMs = 400;
    QTRY_VERIFY_WITH_TIMEOUT(layer->cacheEntry(list).has_value(), GraceMs);

    const QString listFile = home.filePath("loopfils.txt");
    ASSERT_TRUE(layer->downloadToFile(list, listFile).ok);
    const QList<QByteArray> lines = readBytes(listFile).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 10);
    for (const QByteArray& line : lines) {
        const QUrl image = radarUrl(QStringLiteral("/radar/") + QString::fromLatin1(line));
        SCOPED_TRACE(image.toString().toStdString());
        QTRY_VERIFY_WITH_TIMEOUT(layer->cacheEntry(image).has_value(), GraceMs);
    }
    EXPECT_LT(sinceLoad.elapsed(), FrameDelayMs);
    ASSERT_TRUE(sim.clearFaults());
}

TEST_F(BrowserPaneTest, OfflineCachedAddressesStillShowAndOthersFailAsNotFound) {
    const QUrl cached = radarUrl(KmkxImagePath);
    load(cached);
    ASSERT_TRUE(log->errors.isEmpty());

    layer->goOffline();
    load(cached);
    EXPECT_TRUE(log->errors.isEmpty());
    EXPECT_EQ(log->completed.last(), cached);

    load(KgrrImage);
    ASSERT_EQ(log->errors.size(), 1);
    EXPECT_EQ(log->errors.first(), qMakePair(KgrrImage, ResourceNotFoundStatus));
    EXPECT_FALSE(layer->cacheEntry(KgrrImage).has_value());

    layer->goOnline();
    load(KgrrImage);
    EXPECT_EQ(log->errors.size(), 1);
    EXPECT_EQ(log->completed.last(), KgrrImage);
    EXPECT_TRUE(layer->cacheEntry(KgrrImage).has_value());
}

TEST_F(BrowserPaneTest, NavigateErrorsCarryTheServersStatusOrNotFound) {
    struct Case {
        const char* fault;
        quint32 status;
    };
    const Case cases[] = {{"name=404&match=kmkx", 404u},
                          {"name=close&match=kmkx", ResourceNotFoundStatus}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(sim.setFault(QString::fromLatin1(c.fault)));
        log->errors.clear();
        load(KmkxPage);
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
                         cancel = url == KgrrImage;
                     });
    const QUrl allowed = radarUrl(KmkxImagePath);
    load(allowed);
    pane->navigate(KgrrImage);
    QTRY_VERIFY_WITH_TIMEOUT(asked.contains(KgrrImage), LoadTimeoutMs);
    // The refused address is never fetched and the pane stays where it was.
    EXPECT_FALSE(layer->cacheEntry(KgrrImage).has_value());
    EXPECT_EQ(pane->currentAddress(), allowed);
    EXPECT_TRUE(log->errors.isEmpty());
}

} // namespace
} // namespace nubivista::platform
