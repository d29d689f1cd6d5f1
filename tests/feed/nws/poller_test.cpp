// The live source's poller against stand-ins of the weather service's product
// tree and the cloud archive on loopback, serving real KLSX products.
#include "feed/nws/product_poller.h"
#include "stand_in.h"

#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

using namespace nubivista;
using namespace nubivista::feed::nws;
using namespace nubivista::feed::nws::testing;

namespace {

class PollerTest : public ::testing::Test {
protected:
    void refresh(ProductPoller& poller, const QDateTime& now) {
        bool done = false;
        poller.refresh(now, [&done] { done = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 20000));
    }
    ProductPoller& poller(const char* product, Upstreams upstreams) {
        pollers.push_back(
            std::make_unique<ProductPoller>(fetcher, std::move(upstreams), QStringLiteral("klsx"),
                                            *radar::FindProduct(QLatin1String(product))));
        return *pollers.back();
    }

    const QByteArray n0q = productFile("KLSX_SDUS23_N2QLSX_202112110250");
    const QDateTime noon = QDateTime(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    Fetcher fetcher;
    StandIn upstream;
    std::vector<std::unique_ptr<ProductPoller>> pollers;
};

} // namespace

TEST_F(PollerTest, TheLatestScanComesWithItsOwnTimeAndTheTreeIsAskedAtMostOnceAMinute) {
    upstream.publish("DS.p94r0", n0q, noon.addSecs(-200));
    ProductPoller& base = poller("DS.p19r0", {upstream.base(), upstream.base()});
    refresh(base, noon);
    ASSERT_NE(base.scans().latest(), nullptr) << base.lastError().toStdString();
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(-200));
    EXPECT_EQ(base.scans().latest()->product->description.productCode, 94);

    // A newer scan is published; within the minute nothing is asked.
    upstream.publish("DS.p94r0", n0q, noon.addSecs(100));
    refresh(base, noon.addSecs(30));
    EXPECT_EQ(upstream.treeRequests, 1);
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(-200));
    refresh(base, noon.addSecs(61));
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(100));
    // Unchanged since: a 304, and the scans stay.
    refresh(base, noon.addSecs(130));
    EXPECT_EQ(upstream.treeRequests, 3);
    EXPECT_EQ(base.scans().newest().size(), 2u);
    EXPECT_FALSE(base.failing());
}

TEST_F(PollerTest, AProductTheTreeLacksForThisRadarGivesWayToTheNextThatDrawsTheSamePicture) {
    upstream.publish("DS.p19r0", productFile("KLSX_SDUS53_N0RLSX_202105041639"), noon);
    ProductPoller& base = poller("DS.p19r0", {upstream.base(), upstream.base()});
    refresh(base, noon);
    ASSERT_NE(base.scans().latest(), nullptr) << base.lastError().toStdString();
    EXPECT_EQ(base.scans().latest()->product->description.productCode, 19);
}

TEST_F(PollerTest, AHangingTreeGivesWayToTheArchive) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    fetcher.setTimeoutMs(500);
    upstream.archive[QStringLiteral("LSX_N0Q_2026_12_08_11_55_02")] =
        retimed(n0q, noon.addSecs(-298));
    ProductPoller& base =
        poller("DS.p19r0", {QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())),
                            upstream.base()});
    refresh(base, noon);
    ASSERT_NE(base.scans().latest(), nullptr) << base.lastError().toStdString();
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(-298));
    EXPECT_FALSE(base.failing());

    // The archive has only the product that stands second for the picture.
    upstream.archive.clear();
    upstream.archive[QStringLiteral("LSX_N0R_2026_12_08_11_50_02")] =
        retimed(productFile("KLSX_SDUS53_N0RLSX_202105041639"), noon.addSecs(-598));
    ProductPoller& second =
        poller("DS.p19r0", {QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())),
                            upstream.base()});
    refresh(second, noon);
    ASSERT_NE(second.scans().latest(), nullptr) << second.lastError().toStdString();
    EXPECT_EQ(second.scans().latest()->product->description.productCode, 19);
}

TEST_F(PollerTest, WithBothUpstreamsFailingARecentScanIsServedUnderItsTimeAndAnOldOneIsNot) {
    upstream.publish("DS.p94r0", n0q, noon.addSecs(-60));
    ProductPoller& base = poller("DS.p19r0", {upstream.base(), upstream.base()});
    refresh(base, noon);
    ASSERT_NE(base.scans().latest(), nullptr);

    upstream.tree.clear(); // the tree answers 404, the archive has nothing
    refresh(base, noon.addSecs(120));
    EXPECT_TRUE(base.failing());
    EXPECT_FALSE(base.lastError().isEmpty());
    const Scan* served = base.scans().servable(noon.addSecs(120), base.failing());
    ASSERT_NE(served, nullptr);
    EXPECT_EQ(served->time, noon.addSecs(-60));
    EXPECT_EQ(base.scans().servable(noon.addSecs(31 * 60), base.failing()), nullptr);

    // A radar with no scan at all has nothing to serve.
    ProductPoller& rain = poller("DS.78ohp", {upstream.base(), upstream.base()});
    refresh(rain, noon);
    EXPECT_TRUE(rain.failing());
    EXPECT_EQ(rain.scans().servable(noon, rain.failing()), nullptr);

    // A damaged product is no scan.
    upstream.publish("DS.p94r0", n0q.left(n0q.size() / 2), noon.addSecs(200));
    refresh(base, noon.addSecs(240));
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(-60));
}
