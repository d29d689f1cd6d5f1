// The warnings through the feed's HTTP front, with the alerts API's stand-in
// on loopback serving a small answer written from the API's documentation.
#include "feed/nws/alerts.h"
#include "feed/nws/live_service.h"
#include "feed/server/feed_server.h"
#include "support/files.h"

#include <QHttpServer>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace nubivista;
using namespace nubivista::feed::nws;

namespace {

// The alerts API: /alerts/active answers the fixture, or fails with a status.
struct AlertsStandIn {
    AlertsStandIn() {
        server.route("/alerts/active", [this](const QHttpServerRequest& request) {
            ++asks;
            area = request.query().queryItemValue(QStringLiteral("area"));
            accept = request.value("Accept");
            userAgent = request.value("User-Agent");
            if (fails != 0)
                return QHttpServerResponse(QHttpServerResponder::StatusCode(fails));
            return QHttpServerResponse("application/geo+json", answer);
        });
        port = server.listen(QHostAddress::LocalHost);
    }
    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)); }

    QHttpServer server;
    quint16 port = 0;
    QByteArray answer =
        nubivista::testing::readBytes(QStringLiteral(NUBIVISTA_SOURCE_DIR) +
                                      QStringLiteral("/tests/data/warnings/active_alerts.geojson"));
    int fails = 0;
    int asks = 0;
    QString area;
    QByteArray accept, userAgent;
};

class WarningsTest : public ::testing::Test {
protected:
    void SetUp() override {
        service =
            std::make_unique<LiveService>(fetcher, Upstreams{}, feed::picture::BoundaryLines{},
                                          feed::picture::Towns{}, [this] { return now; });
        service->enableWarnings(
            {alerts.base(), 60},
            std::get<feed::picture::StateOutlines>(feed::picture::loadStateOutlines(
                QStringLiteral(NUBIVISTA_APP_DIR "/") + feed::picture::kStateOutlinesFileName)));
        front = std::make_unique<feed::server::FeedServer>(*service);
        port = front->listenOnLoopback(0);
    }
    std::pair<int, QJsonObject> get(const QString& path, QByteArray* reason = nullptr) {
        QNetworkReply* reply = client.get(
            QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path))));
        EXPECT_TRUE(QTest::qWaitFor([reply] { return reply->isFinished(); }, 20000));
        reply->deleteLater();
        if (reason != nullptr)
            *reason = reply->rawHeader("X-Nubivista-Reason");
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                QJsonDocument::fromJson(reply->readAll()).object()};
    }
    QStringList ids(const QJsonObject& answer) {
        QStringList found;
        for (const QJsonValue& warning : answer[QStringLiteral("warnings")].toArray())
            found.append(warning[QStringLiteral("id")].toString());
        return found;
    }

    QDateTime now = QDateTime(QDate(2021, 12, 11), QTime(2, 20), Qt::UTC);
    AlertsStandIn alerts;
    Fetcher fetcher;
    QNetworkAccessManager client;
    std::unique_ptr<LiveService> service;
    std::unique_ptr<feed::server::FeedServer> front;
    quint16 port = 0;
};

} // namespace

TEST_F(WarningsTest, TheStormBasedWarningsInForceThatCrossThePictureAreServedWithTheirThreats) {
    const auto [status, answer] = get(QStringLiteral("/warnings/klsx.json"));
    ASSERT_EQ(status, 200);
    EXPECT_EQ(answer[QStringLiteral("fetched")].toString(), QStringLiteral("2021-12-11T02:20:00Z"));
    // The states and marine areas of the long-range picture, asked for as the API asks.
    for (const char* area : {"MO", "IL", "IA", "KY", "AR", "LM"})
        EXPECT_TRUE(alerts.area.split(u',').contains(QLatin1String(area))) << area;
    for (const char* area : {"OH", "MN", "TX", "GM"})
        EXPECT_FALSE(alerts.area.split(u',').contains(QLatin1String(area))) << area;
    EXPECT_EQ(alerts.accept, "application/geo+json");
    EXPECT_TRUE(alerts.userAgent.contains("nubivista-feed/") && alerts.userAgent.contains('@'));

    const QJsonValue none;
    const QJsonObject motion{{QStringLiteral("fromDeg"), 250}, {QStringLiteral("speedKt"), 35}};
    struct Row {
        const char* id;
        const char* why;
        bool kept;
        QJsonValue motion = {}, hailIn = {}, windMph = {}, tornado = {}, damageThreat = {};
    };
    const Row rows[] = {
        {"KLSX.TO.W.0042", "its update replaces it", true, motion, 1.5, none, "OBSERVED",
         "CONSIDERABLE"},
        {"KDVN.SV.W.0031", "partly on the picture", true, none, 0.75, 60, none, "CONSIDERABLE"},
        {"KLOT.MA.W.0012", "marine, 40 knots", true, none, none, 46, none, none},
        {"KLSX.SV.W.0100", "cancelled", false},
        {"KLSX.SV.W.0099", "expired", false},
        {"KLSX.FF.W.0007", "zones, no polygon", false},
        {"KLSX.WI.Y.0003", "no storm-based warning, over the radar", false},
        {"KLSX.SV.W.0101", "a ring with a word for a number", false},
        {"KMPX.SV.W.0012", "off the picture", false},
    };
    std::map<QString, QJsonObject> served;
    for (const QJsonValue& w : answer[QStringLiteral("warnings")].toArray())
        served[w[QStringLiteral("id")].toString()] = w.toObject();
    for (const Row& row : rows) {
        const QJsonObject found = served[QLatin1String(row.id)];
        EXPECT_EQ(!found.isEmpty(), row.kept) << row.id << ": " << row.why;
        const std::pair<const char*, QJsonValue> fields[] = {{"motion", row.motion},
                                                             {"hailIn", row.hailIn},
                                                             {"windMph", row.windMph},
                                                             {"tornado", row.tornado},
                                                             {"damageThreat", row.damageThreat}};
        for (const auto& [field, value] : fields)
            EXPECT_TRUE(!row.kept || found[QLatin1String(field)] == value)
                << row.id << " " << field;
    }
    const QJsonObject tornado = served[QStringLiteral("KLSX.TO.W.0042")];
    EXPECT_EQ(tornado[QStringLiteral("issued")].toString(), QStringLiteral("2021-12-11T02:16:00Z"));
    EXPECT_EQ(tornado[QStringLiteral("expires")].toString(), QStringLiteral("2021-12-11T03:00:00Z"))
        << "the event's end, not the message's";
    EXPECT_EQ(tornado[QStringLiteral("polygon")].toArray().size(), 4);
    EXPECT_EQ(tornado[QStringLiteral("polygon")][0], (QJsonArray{38.55, -90.50}));

    // Asked again within the minute: the API is not.
    now = now.addSecs(30);
    EXPECT_EQ(ids(get(QStringLiteral("/warnings/klsx.json")).second), ids(answer));
    EXPECT_EQ(alerts.asks, 1);
}

TEST_F(WarningsTest, WhileTheApiFailsTheWarningsHeldAreServedUntilTheyExpireAndTheStatusSaysWhy) {
    ASSERT_EQ(ids(get(QStringLiteral("/warnings/klsx.json")).second).size(), 3);
    alerts.fails = 503;
    now = QDateTime(QDate(2021, 12, 11), QTime(2, 38), Qt::UTC);
    const QJsonObject kept = get(QStringLiteral("/warnings/klsx.json")).second;
    EXPECT_EQ(ids(kept),
              (QStringList{QStringLiteral("KDVN.SV.W.0031"), QStringLiteral("KLSX.TO.W.0042")}))
        << "the marine warning ended at 02:35";
    EXPECT_EQ(kept[QStringLiteral("fetched")].toString(), QStringLiteral("2021-12-11T02:20:00Z"));
    now = QDateTime(QDate(2021, 12, 11), QTime(3, 0), Qt::UTC);
    EXPECT_TRUE(ids(get(QStringLiteral("/warnings/klsx.json")).second).isEmpty());

    const QJsonObject status = get(QStringLiteral("/status.json"))
                                   .second[QStringLiteral("warnings")]
                                   .toArray()[0]
                                   .toObject();
    EXPECT_TRUE(status[QStringLiteral("failing")].toBool());
    EXPECT_EQ(status[QStringLiteral("lastStatus")].toInt(), 503);
    EXPECT_TRUE(status[QStringLiteral("error")].toString().endsWith(
        QStringLiteral("the alerts API answered 503")));

    // A radar whose areas were never answered: 503, and why.
    QByteArray reason;
    EXPECT_EQ(get(QStringLiteral("/warnings/kmkx.json"), &reason).first, 503);
    EXPECT_TRUE(reason.startsWith("The weather service has no warnings of ")) << reason.data();
    EXPECT_EQ(get(QStringLiteral("/warnings/nowhere.json")).first, 404);
}

TEST(EventMotion, AStormFromDueNorthKeepsItsMotionAndABearingPastAFullTurnHasNone) {
    // the motion text, then the direction it comes from and its speed; -1: no motion
    const std::tuple<const char*, int, int> cases[] = {
        {"2021-12-11T02:10:00-00:00...storm...247DEG...30KT...38.58,-90.50", 247, 30},
        {"2021-12-11T02:10:00-00:00...storm...360DEG...15KT...38.58,-90.50", 0, 15},
        {"2021-12-11T02:10:00-00:00...storm...361DEG...15KT...38.58,-90.50", -1, -1},
        {"2021-12-11T02:10:00-00:00...storm...STATIONARY...38.58,-90.50", -1, -1},
    };
    for (const auto& [text, fromDeg, speedKt] : cases) {
        const std::optional<StormMotion> motion = parseEventMotion(QString::fromLatin1(text));
        EXPECT_EQ(motion ? std::pair(motion->fromDeg, motion->speedKt) : std::pair(-1, -1),
                  std::pair(fromDeg, speedKt))
            << text;
    }
}
