// The live source over loopback against stand-ins of the weather service's
// product tree and the cloud archive serving real KLSX products: the poller on
// its own, and the feed's HTTP front over the live service.
#include "feed/nws/live_service.h"
#include "feed/nws/product_poller.h"
#include "feed/server/feed_server.h"
#include "stand_in.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

using namespace nubivista;
using namespace nubivista::feed::nws;
using namespace nubivista::feed::nws::testing;

namespace {

struct Answer {
    int status = 0;
    QByteArray body;
    QDateTime lastModified;
};

class LiveServiceTest : public ::testing::Test {
protected:
    void start(const Upstreams& upstreams) {
        service = std::make_unique<LiveService>(fetcher, upstreams, feed::picture::BoundaryLines{},
                                                [this] { return now; });
        front = std::make_unique<feed::server::FeedServer>(*service);
        port = front->listenOnLoopback(0);
        ASSERT_NE(port, 0);
    }
    Answer get(const QString& path) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        QNetworkReply* reply = client.get(request);
        EXPECT_TRUE(QTest::qWaitFor([reply] { return reply->isFinished(); }, 20000))
            << path.toStdString();
        Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                      reply->readAll(),
                      reply->header(QNetworkRequest::LastModifiedHeader).toDateTime().toUTC()};
        reply->deleteLater();
        return answer;
    }

    const QByteArray n0q = productFile("KLSX_SDUS23_N2QLSX_202112110250");
    QDateTime now = QDateTime(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    StandIn upstream;
    Fetcher fetcher;
    QNetworkAccessManager client;
    std::unique_ptr<LiveService> service;
    std::unique_ptr<feed::server::FeedServer> front;
    quint16 port = 0;
};

const QString kLatest = QStringLiteral("/radar/images/DS.p19r0/SI.klsx/latest.gif");

} // namespace

TEST_F(LiveServiceTest, TheLatestImageIsTheNewestScanUnderItsOwnTimeAndANewerOneFollows) {
    start({upstream.base(), upstream.base()});
    upstream.publish("DS.p94r0", n0q, now.addSecs(-240));
    const Answer first = get(kLatest);
    ASSERT_EQ(first.status, 200) << first.body.toStdString();
    EXPECT_EQ(first.lastModified, now.addSecs(-240));
    const QImage picture = QImage::fromData(first.body, "GIF");
    EXPECT_EQ(picture.size(), QSize(600, 550));

    // A newer scan is published and shows within a minute, its size of the
    // other parity.
    upstream.publish("DS.p94r0", n0q, now.addSecs(60));
    now = now.addSecs(61);
    const Answer second = get(kLatest);
    EXPECT_EQ(second.lastModified, now.addSecs(-1));
    EXPECT_NE(second.body.size() % 2, first.body.size() % 2);

    // The loop list names the scans, oldest first; each frame is served.
    const Answer list = get(QStringLiteral("/radar/loopdata/DS.p19r0/klsx.txt"));
    const QList<QByteArray> lines = list.body.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "images/DS.p19r0/SI.klsx/sn_20261208_at_115600.gif");
    const Answer frame = get(QStringLiteral("/radar/") + QString::fromLatin1(lines[0]));
    EXPECT_EQ(frame.status, 200);
    EXPECT_EQ(frame.body, first.body);
    EXPECT_EQ(get(QStringLiteral("/radar/latest/DS.p19r0/si.klsx.shtml")).status, 200);
    EXPECT_EQ(get(QStringLiteral("/radar/national.html")).status, 200);
}

TEST_F(LiveServiceTest, TheLoopListNamesTheTenNewestScansOldestFirst) {
    start({upstream.base(), upstream.base()});
    for (int i = 11; i >= 0; --i)
        upstream.publish("DS.p94r0", n0q, now.addSecs(-300 * i - 30));
    const Answer list = get(QStringLiteral("/radar/loopdata/DS.p19r0/klsx.txt"));
    ASSERT_EQ(list.status, 200);
    const QList<QByteArray> lines = list.body.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines.front(), "images/DS.p19r0/SI.klsx/sn_20261208_at_111430.gif");
    EXPECT_EQ(lines.back(), "images/DS.p19r0/SI.klsx/sn_20261208_at_115930.gif");
    for (const QByteArray& line : lines)
        EXPECT_EQ(line.size(), 49) << "the program reads fixed positions";
}

TEST_F(LiveServiceTest, UpstreamTroubleServesARecentScanAndOtherwiseAnErrorNeverAPicture) {
    start({upstream.base(), upstream.base()});
    upstream.publish("DS.p94r0", n0q, now.addSecs(-120));
    ASSERT_EQ(get(kLatest).status, 200);

    upstream.tree.clear();
    now = now.addSecs(300);
    const Answer kept = get(kLatest);
    EXPECT_EQ(kept.status, 200);
    EXPECT_EQ(kept.lastModified, now.addSecs(-420)) << "the scan keeps its own time";

    now = now.addSecs(40 * 60);
    EXPECT_EQ(get(kLatest).status, 503) << "too old to stand for the latest";
    EXPECT_EQ(get(QStringLiteral("/radar/images/DS.78ohp/SI.klsx/latest.gif")).status, 503);
    EXPECT_EQ(get(QStringLiteral("/radar/images/DS.p19r0/SI.kxxx/latest.gif")).status, 404);
}

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
