// The program on the live feed: nubivista-feed --source live fetching from
// stand-ins of the weather service's product tree and archive on loopback,
// which serve real KLSX products moved to the present.
#include "e2e/live_feed_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace nubivista::e2e {
namespace {

const QString kImagePath = QStringLiteral("/radar/images/DS.p19r0/SI.klsx/latest.gif");

TEST_F(LiveFeedTest, RealScansFillTheSlotsFromASiteClickAndARefresh) {
    startProcessOn(QStringLiteral("klsx"));
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(loop().model().newestSlot, 1);
    EXPECT_EQ(slotTimeUtc(1), scanTime);
    EXPECT_EQ(slotBytes(1), sim->get(kImagePath));
    EXPECT_EQ(loop().picture(1).size(), QSize(600, 550));
    // Live: neither the caption nor the picture says demo.
    EXPECT_EQ(form().windowTitle(), QStringLiteral("KLSX - St. Louis, MO - Nubivista"));
    EXPECT_EQ(demoMarkPixels(slotBytes(1)), 0);

    // The next scan on the weather service lands in slot 2 under its time.
    const QDateTime nextScan = scanTime.addSecs(300);
    upstream.publish("DS.p94r0", productFile("KLSX_SDUS23_N2QLSX_202112110250"), nextScan);
    const int stored = imagesStored();
    refresh().mnuRefresh_Click();
    QTRY_VERIFY_WITH_TIMEOUT(imagesStored() > stored, kPageTimeoutMs) << messageLog().toStdString();
    EXPECT_EQ(loop().model().newestSlot, 2);
    EXPECT_EQ(slotTimeUtc(2), nextScan);
}

TEST_F(LiveFeedTest, ADryHourIsStoredScanByScanAndARadarThatStopsLeavesTheWatchRunning) {
    // One-hour rainfall at KLOT on a dry night: a null product every scan.
    const QByteArray dry = productFile("LOT_DAA_2021_05_08_03_40_29");
    const QDateTime first = scanTime.addSecs(-40 * 60);
    upstream.publish("DS.170aa", dry, first, "klot");
    controls().Combo1->setCurrentIndex(2);
    startProcessOn(QStringLiteral("klot"));
    ASSERT_FALSE(HasFatalFailure());
    for (int scan = 1; scan <= 2; ++scan) {
        upstream.publish("DS.170aa", dry, first.addSecs(300 * scan), "klot");
        const int stored = imagesStored();
        refresh().mnuRefresh_Click();
        QTRY_VERIFY_WITH_TIMEOUT(imagesStored() > stored, kPageTimeoutMs)
            << messageLog().toStdString();
        EXPECT_EQ(slotTimeUtc(1 + scan), first.addSecs(300 * scan));
    }

    // The radar stops: the tree answers 503, the archive has nothing. Its
    // newest scan, 38 minutes old, stays the latest image (the feed asked the
    // tree again and still serves it), and the watch goes on polling with no
    // message.
    upstream.treeFails = 503;
    const qsizetype shown = messages.size();
    const int stored = imagesStored();
    const int asked = upstream.treeRequests;
    EXPECT_EQ(sim->get(QStringLiteral("/radar/images/DS.78ohp/SI.klot/latest.gif")), slotBytes(3));
    EXPECT_GT(upstream.treeRequests, asked);
    refresh().mnuRefresh_Click();
    QTRY_VERIFY_WITH_TIMEOUT(refresh().Timer3()->isActive(), kPageTimeoutMs);
    EXPECT_EQ(messages.size(), shown) << messageLog().toStdString();
    EXPECT_EQ(refresh().RefreshState(), acquisition::refresh_state::Running);
    EXPECT_EQ(imagesStored(), stored);
    // The status bar says how old the picture is, in the feed's words.
    const QString since = QStringLiteral("KLOT has published nothing since %1 UTC")
                              .arg(first.addSecs(600).toString(QStringLiteral("HH:mm")));
    QTRY_VERIFY_WITH_TIMEOUT(form().statusPanel(3)->text().contains(since), kPageTimeoutMs)
        << form().statusPanel(3)->text().toStdString();

    // Back on the air: the next scan lands in the next slot.
    upstream.treeFails = 0;
    upstream.publish("DS.170aa", dry, scanTime, "klot");
    refresh().mnuRefresh_Click();
    QTRY_VERIFY_WITH_TIMEOUT(imagesStored() > stored, kPageTimeoutMs) << messageLog().toStdString();
    EXPECT_EQ(slotTimeUtc(4), scanTime);
    EXPECT_EQ(form().statusPanel(3)->text(), QString()) << "eight minutes old is not stale";
}

TEST_F(LiveFeedTest, AStartTheWeatherServiceCannotServeSaysWhyInItsMessage) {
    // KMKX has published nothing on the stand-ins: the feed answers 503 with its reason.
    clickSite(QStringLiteral("kmkx"));
    ASSERT_FALSE(HasFatalFailure());
    QTRY_VERIFY_WITH_TIMEOUT(shutDown(), kPageTimeoutMs) << messageLog().toStdString();
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral(
        "And Start A New Process.\r\nThe weather service has no base reflectivity of "
        "KMKX now: the tree answered 404; the archive has no scan of ")))
        << messageLog().toStdString();
}

} // namespace
} // namespace nubivista::e2e
