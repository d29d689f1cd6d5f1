#pragma once
// The program on the live feed: nubivista-feed --source live fetching from
// stand-ins of the weather service's product tree and archive on loopback,
// which serve real KLSX products moved to the present.
#include "app/feed_cache.h"
#include "e2e/refresh_fixture.h"
#include "feed/nws/stand_in.h"

#include <QHttpServer>
#include <QHttpServerResponse>

namespace nubivista::e2e {

using feed::nws::testing::productFile;
using feed::nws::testing::StandIn;

// The weather service's alerts API: /alerts/active answers what a test sets,
// no alert at all unless it sets one.
struct AlertsStandIn {
    AlertsStandIn() {
        server.route("/alerts/active",
                     [this] { return QHttpServerResponse("application/geo+json", answer); });
        port = server.listen(QHostAddress::LocalHost);
    }
    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)); }

    QHttpServer server;
    quint16 port = 0;
    QByteArray answer = R"({"type": "FeatureCollection", "features": []})";
};

class LiveFeedTest : public RefreshE2eTest {
protected:
    void SetUp() override {
        // A scan eight minutes old: the program takes no first image older
        // than two years, so the real product is moved to the present.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        scanTime = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()), Qt::UTC)
                       .addSecs(-480);
        upstream.publish("DS.p94r0", productFile("KLSX_SDUS23_N2QLSX_202112110250"), scanTime);
        settings.StampAdjustMinutes = 0;
        // The feed asks the stand-in at every request, not at most once a minute.
        layerOptions = app::internetOptionsFor({acquisition::FeedSource::Live, {}}, cacheRoot());
        simArguments = {"--source",       "live",
                        "--nws-base",     upstream.base().toString(),
                        "--archive-base", upstream.base().toString(),
                        "--alerts-base",  alerts.base().toString(),
                        "--ask-every",    "0"};
        RefreshE2eTest::SetUp();
    }

    QString cacheRoot() const { return home.filePath(QStringLiteral("cache")); }
    QString homePath(const char* path) const { return home.filePath(QLatin1String(path)); }

    StandIn upstream;
    AlertsStandIn alerts;
    QDateTime scanTime;
};

} // namespace nubivista::e2e
