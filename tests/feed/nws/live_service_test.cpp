// The live source over loopback against stand-ins of the weather service's
// product tree and the cloud archive serving real KLSX products: the poller on
// its own, and the feed's HTTP front over the live service.
#include "feed/nws/live_service.h"
#include "feed/nws/product_poller.h"
#include "feed/nws/status_page.h"
#include "feed/server/feed_server.h"
#include "stand_in.h"

#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    QByteArray reason; // X-Nubivista-Reason
    QByteArray source; // X-Nubivista-Source
};

class LiveServiceTest : public ::testing::Test {
protected:
    void start(const Upstreams& upstreams) {
        service = std::make_unique<LiveService>(fetcher, upstreams, feed::picture::BoundaryLines{},
                                                feed::picture::Towns{}, [this] { return now; });
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
        Answer answer{
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->header(QNetworkRequest::LastModifiedHeader).toDateTime().toUTC(),
            reply->rawHeader("X-Nubivista-Reason"), reply->rawHeader("X-Nubivista-Source")};
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
    EXPECT_EQ(first.source, "live") << "the program refuses a picture of another source";

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
    EXPECT_EQ(get(QStringLiteral("/radar/") + QString::fromLatin1(lines[0])).body, first.body);
}

TEST_F(LiveServiceTest, ARadarThatStopsKeepsItsLastScanAndTheStatusPageSaysWhy) {
    start({upstream.base(), upstream.base()});
    upstream.publish("DS.p94r0", n0q, now.addSecs(-120));
    ASSERT_EQ(get(kLatest).status, 200);

    // Down for maintenance: the tree answers 503, the archive has nothing.
    upstream.treeFails = 503;
    for (int minutes = 5; minutes <= 120; minutes += 5) {
        now = now.addSecs(300);
        const Answer kept = get(kLatest);
        ASSERT_EQ(kept.status, 200) << minutes << " min: " << kept.body.toStdString();
        ASSERT_EQ(kept.lastModified, now.addSecs(-120 - 60 * minutes)) << "its own time";
    }
    const QJsonObject entry = QJsonDocument::fromJson(get(QStringLiteral("/status.json")).body)
                                  .object()[QStringLiteral("products")]
                                  .toArray()
                                  .at(0)
                                  .toObject();
    EXPECT_EQ(entry[QStringLiteral("newestScanAgeSeconds")].toInteger(), 122 * 60);
    EXPECT_EQ(entry[QStringLiteral("summary")].toString(),
              QStringLiteral("KLSX has published nothing since 11:58 UTC (the tree answered 503; "
                             "the archive has no scan of 2026-12-08)"));

    // With no scan since the feed started, an error that says why; a radar
    // that publishes no such product, and an unknown site, are not found.
    const Answer never = get(QStringLiteral("/radar/images/DS.78ohp/SI.klsx/latest.gif"));
    EXPECT_EQ(never.status, 503);
    const Answer none = get(QStringLiteral("/radar/images/DS.p38cr/SI.tstl/latest.gif"));
    EXPECT_EQ(none.status, 404);
    EXPECT_EQ(none.reason, "TSTL publishes no long-range composite reflectivity product");
}

TEST_F(LiveServiceTest, AHeldScanIsAnsweredAtOnceWhileTheUpstreamsHangAndAWaitForNoneEnds) {
    start({upstream.base(), upstream.base()});
    service->setNoScanWaitMs(1500);
    upstream.publish("DS.p94r0", n0q, now.addSecs(-120));
    ASSERT_EQ(get(kLatest).status, 200);

    upstream.hangs = true;
    now = now.addSecs(300);
    QElapsedTimer clock;
    clock.start();
    const Answer held = get(kLatest);
    EXPECT_EQ(held.status, 200);
    EXPECT_EQ(held.lastModified, now.addSecs(-420));
    EXPECT_LT(clock.elapsed(), 1000) << "the held scan waits on no upstream";

    // Nothing held for this picture: the wait ends well before the program's.
    clock.restart();
    const Answer none = get(QStringLiteral("/radar/images/DS.p37cr/SI.klsx/latest.gif"));
    EXPECT_EQ(none.status, 503);
    EXPECT_EQ(none.reason, "The weather service has not answered for KLSX within 1.5 s");
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(LiveServiceTest, TheStormCellsOfAScanComeWithTheirTrackHailMesocycloneAndVortex) {
    start({upstream.base(), upstream.base()});
    const QDateTime scan = now.addSecs(-200);
    for (const auto& [directory, file] : {std::pair{"DS.58sti", "KLSX_SDUS33_NSTLSX_202112110215"},
                                          {"DS.p59hi", "KLSX_SDUS63_NHILSX_202112110152"},
                                          {"DS.141md", "KLSX_SDUS33_NMDLSX_202112110152"},
                                          {"DS.61tvs", "KLSX_SDUS63_NTVLSX_202112110238"}})
        upstream.publish(directory, productFile(file), scan);
    const Answer answer = get(QStringLiteral("/storms/klsx.json"));
    ASSERT_EQ(answer.status, 200) << answer.body.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(answer.body).object();
    EXPECT_EQ(root[QStringLiteral("scanTime")].toString(), scan.toString(Qt::ISODate));
    const QJsonArray cells = root[QStringLiteral("cells")].toArray();
    ASSERT_EQ(cells.size(), 34);
    const auto cell = [&cells](const char* id) {
        for (const QJsonValue& c : cells)
            if (c[QStringLiteral("id")].toString() == QLatin1String(id))
                return c.toObject();
        return QJsonObject();
    };
    const QJsonObject x0 = cell("X0");
    const std::pair<const char*, QJsonValue> expected[] = {
        {"azimuthDeg", 161},   {"rangeNm", 154}, {"movementFromDeg", 236},
        {"speedKt", 41},       {"errorNm", 0.9}, {"meanErrorNm", 2},
        {"mesocyclone", true}, {"tvs", false},   {"hail", QJsonValue::Null}};
    for (const auto& [field, value] : expected)
        EXPECT_EQ(x0[QLatin1String(field)], value) << field;
    // 92.5 km east and 269.25 km south of the radar at 38.699 N, 90.683 W.
    EXPECT_NEAR(x0[QStringLiteral("lat")].toDouble(), 36.28, 0.02);
    EXPECT_NEAR(x0[QStringLiteral("lon")].toDouble(), -89.65, 0.02);
    const QJsonArray forecast = x0[QStringLiteral("forecast")].toArray();
    ASSERT_EQ(forecast.size(), 4);
    EXPECT_EQ(forecast[0][QStringLiteral("minutes")].toInt(), 15);
    EXPECT_EQ(forecast[3][QStringLiteral("azimuthDeg")].toInt(), 146);
    EXPECT_EQ(x0[QStringLiteral("past")].toArray().size(), 9);
    EXPECT_TRUE(cell("M9")[QStringLiteral("forecast")].toArray()[2].isNull()) << "NO DATA";
    EXPECT_TRUE(cell("M9")[QStringLiteral("tvs")].toBool());
    EXPECT_TRUE(cell("U7")[QStringLiteral("movementFromDeg")].isNull()) << "a NEW cell";
    EXPECT_TRUE(cell("U7")[QStringLiteral("speedKt")].isNull());
    const QJsonObject hail = cell("U5")[QStringLiteral("hail")].toObject();
    EXPECT_EQ(hail[QStringLiteral("severeProbability")].toInt(), 50);
    EXPECT_EQ(hail[QStringLiteral("maxSizeIn")].toDouble(), 1.25);

    // An image's scan a little after the volume's time finds the same storms.
    for (const int apart : {0, 150})
        EXPECT_EQ(get(QStringLiteral("/storms/klsx.json?scan=") +
                      scan.addSecs(apart).toString(Qt::ISODate))
                      .body,
                  answer.body);
    EXPECT_EQ(get(QStringLiteral("/storms/klsx.json?scan=2020-01-01T00:00:00Z")).status, 404);
    EXPECT_EQ(get(QStringLiteral("/storms/tstl.json")).reason,
              "TSTL publishes no storm tracking information product");
}

TEST_F(LiveServiceTest, TheStatusPageTellsWhereTheNewestScanCameFromAndWhatEachUpstreamSaid) {
    start({upstream.base(), upstream.base()});
    upstream.treeFails = 500;
    // A scan uploaded again later must not pass for the newest.
    upstream.archive[QStringLiteral("LSX_N0Q_2026_12_08_11_55_02")] =
        retimed(n0q, now.addSecs(-298));
    upstream.uploaded[QStringLiteral("LSX_N0Q_2026_12_08_11_55_02")] = now.addSecs(-200);
    upstream.archive[QStringLiteral("LSX_N0Q_2026_12_08_09_00_02")] =
        retimed(n0q, now.addSecs(-3 * 3600));
    upstream.uploaded[QStringLiteral("LSX_N0Q_2026_12_08_09_00_02")] = now.addSecs(-10);
    upstream.pageSize = 1; // and the newest is on the listing's last page
    ASSERT_EQ(get(kLatest).lastModified, now.addSecs(-298));
    now = now.addSecs(30);

    const QJsonObject root =
        QJsonDocument::fromJson(get(QStringLiteral("/status.json")).body).object();
    EXPECT_EQ(root[QStringLiteral("uptimeSeconds")].toInteger(), 30);
    EXPECT_GT(root[QStringLiteral("cacheBytes")].toInteger(), 10000) << "the drawn picture";
    const QJsonObject e = root[QStringLiteral("products")].toArray().at(0).toObject();
    const QJsonObject tree = e[QStringLiteral("answers")][QStringLiteral("tree")].toObject();
    const QJsonObject archive = e[QStringLiteral("answers")][QStringLiteral("archive")].toObject();
    const std::pair<QString, QJsonValue> expected[] = {
        {QStringLiteral("level3"), QStringLiteral("N0Q")},
        {QStringLiteral("from"), QStringLiteral("archive")},
        {QStringLiteral("newestScan"), QStringLiteral("2026-12-08T11:55:02Z")},
        {QStringLiteral("newestScanAgeSeconds"), 328},
        {QStringLiteral("nextAsk"), QStringLiteral("2026-12-08T12:01:00Z")},
        {QStringLiteral("failing"), false},
        {QStringLiteral("summary"), QStringLiteral("KLSX has published nothing since 11:55 UTC")},
    };
    for (const auto& [field, value] : expected)
        EXPECT_EQ(e[field], value) << field.toStdString();
    EXPECT_EQ(tree[QStringLiteral("status")].toInt(), 500);
    EXPECT_EQ(tree[QStringLiteral("reason")].toString(), QStringLiteral("the tree answered 500"));
    EXPECT_EQ(archive[QStringLiteral("status")].toInt(), 200);
    EXPECT_EQ(e[QStringLiteral("lastAnswer")], QJsonValue(archive));
    EXPECT_TRUE(get(QStringLiteral("/status")).body.contains("the tree answered 500"));
}

TEST_F(LiveServiceTest, AnAirportRadarAndADryHourAreDrawnFromTheirOwnProducts) {
    start({upstream.base(), upstream.base()});
    // TSTL's reflectivity comes under the KLSX office's heading and in a
    // satellite broadcast's frame; a KLSX product in its folder is no scan of it.
    upstream.publish("DS.180z0", n0q, now.addSecs(-300), "tstl");
    EXPECT_EQ(get(QStringLiteral("/radar/images/DS.p19r0/SI.tstl/latest.gif")).status, 503);
    upstream.publish("DS.180z0", productFile("Level3_STL_TZ0_20211211_0200.nids"),
                     now.addSecs(-100), "tstl");
    now = now.addSecs(60);
    const Answer tdwr = get(QStringLiteral("/radar/images/DS.p19r0/SI.tstl/latest.gif"));
    ASSERT_EQ(tdwr.status, 200) << tdwr.body.data();
    EXPECT_EQ(tdwr.lastModified, now.addSecs(-160));
    EXPECT_EQ(QImage::fromData(tdwr.body, "GIF").size(), QSize(600, 550));

    // No rain: the one-hour product is a null product, served as a scan: the
    // bare map with the radar's words in yellow across its top.
    const QByteArray dry = productFile("LOT_DAA_2021_05_08_03_40_29");
    for (int scan = 0; scan < 3; ++scan) {
        upstream.publish("DS.170aa", dry, now.addSecs(-30), "klot");
        now = now.addSecs(61);
        const Answer rain = get(QStringLiteral("/radar/images/DS.78ohp/SI.klot/latest.gif"));
        ASSERT_EQ(rain.status, 200) << rain.body.data();
        EXPECT_EQ(rain.lastModified, now.addSecs(-91));
        const QImage band = QImage::fromData(rain.body, "GIF")
                                .copy(0, 26, 600, 16)
                                .convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(band.constBits());
        EXPECT_GT(std::count(pixels, pixels + 600 * 16, qRgb(255, 255, 0)), 200)
            << "48 characters of 'No precipitation detected since ...'";
    }
    EXPECT_EQ(get(QStringLiteral("/radar/loopdata/DS.78ohp/klot.txt")).body.count('\n'), 3);
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
        pollers.push_back(std::make_unique<ProductPoller>(
            fetcher, std::move(upstreams), *radar::FindSite(QStringLiteral("klsx")),
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

TEST_F(PollerTest, AFaultIsToldOnceWhenItStartsAndOnceWhenItClearsAndADamagedProductIsNoScan) {
    upstream.publish("DS.p94r0", n0q, noon.addSecs(-60));
    QStringList told;
    ProductPoller& base = poller("DS.p19r0", {upstream.base(), upstream.base(), 60,
                                              [&told](const QString& line) { told.append(line); }});
    refresh(base, noon);
    ASSERT_NE(base.scans().latest(), nullptr);

    upstream.treeFails = 404; // and the archive has nothing but a key of another form
    upstream.archive[QStringLiteral("LSX_N0Q_2026_12_08_file:///dev/stdin")] = n0q;
    for (int minute = 1; minute <= 5; ++minute)
        refresh(base, noon.addSecs(60 * minute));
    EXPECT_TRUE(base.failing());
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(-60));
    upstream.treeFails = 0;
    upstream.publish("DS.p94r0", n0q.left(n0q.size() / 2), noon.addSecs(400));
    refresh(base, noon.addSecs(420));
    EXPECT_TRUE(base.lastError().contains(QStringLiteral("sn.last is not a Level III product")));
    upstream.publish("DS.p94r0", n0q, noon.addSecs(480 + 11 * 60)); // dated ahead of the clock
    refresh(base, noon.addSecs(480));
    EXPECT_TRUE(base.lastError().contains(QStringLiteral("ahead of the clock")));
    EXPECT_EQ(base.scans().latest()->time, noon.addSecs(-60));
    upstream.publish("DS.p94r0", n0q, noon.addSecs(530));
    refresh(base, noon.addSecs(540));
    EXPECT_FALSE(base.failing());
    ASSERT_EQ(told.size(), 3) << told.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(told[0], QStringLiteral("DS.p94r0/SI.klsx: the archive lists a key that is no scan's "
                                      "name, skipped: LSX_N0Q_2026_12_08_file:///dev/stdin"));
    EXPECT_EQ(told[1], QStringLiteral("DS.p94r0/SI.klsx: the tree answered 404; the archive has "
                                      "no scan of 2026-12-08"));
    EXPECT_TRUE(told[2].startsWith(QStringLiteral("DS.p94r0/SI.klsx: the upstreams answer again")));
}

TEST_F(PollerTest, WithNeitherUpstreamAnsweringTheWeatherServiceIsUnreachable) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QUrl nowhere(QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort()));
    closed.close(); // nothing listens there now
    ProductPoller& base = poller("DS.p19r0", {nowhere, nowhere});
    refresh(base, noon);
    EXPECT_TRUE(base.unreachable());
    EXPECT_EQ(base.watcherReason(),
              QStringLiteral("The weather service could not be reached: connection refused"));
    EXPECT_FALSE(weatherServiceReachable({noon, 0, 0, {&base}}));

    // One upstream answering is reachable, though it has nothing.
    ProductPoller& half = poller("DS.p19r0", {nowhere, upstream.base()});
    refresh(half, noon.addSecs(1));
    EXPECT_TRUE(half.failing());
    EXPECT_FALSE(half.unreachable());
    EXPECT_TRUE(weatherServiceReachable({noon, 0, 0, {&base, &half}})) << "the latest ask counts";
}
