#pragma once
// The live source: answers the address grammar from today's Level III
// products, each scan drawn once and served under its own scan time.
#include "feed/nws/off_thread.h"
#include "feed/nws/product_poller.h"
#include "feed/nws/warnings_service.h"
#include "feed/picture/basemap_cache.h"
#include "feed/server/request.h"
#include "feed/server/routes.h"

#include <QCache>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace nubivista::feed::nws {

class LiveService : public QObject, public server::RequestHandler {
    Q_OBJECT
public:
    LiveService(
        Fetcher& fetcher, Upstreams upstreams, picture::BoundaryLines boundaries,
        picture::Towns towns,
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTimeUtc(); },
        QObject* parent = nullptr);

    void handle(const server::RequestInfo& request, server::Responder respond) override;

    static constexpr qint64 kFrameCacheBytes = 64 << 20;
    // How long a request for a scan waits for the refresh of the upstreams:
    // a moment when a scan is held (the held one is answered after it), and
    // when none is, well inside the program's own 30 s.
    static constexpr int kHeldScanWaitMs = 500;
    static constexpr int kNoScanWaitMs = 20'000;
    void setNoScanWaitMs(int ms);

    // Serves /warnings/<site>.json from the alerts API for the states the
    // outlines tell; without it that address answers 404.
    void enableWarnings(AlertsUpstream upstream, picture::StateOutlines states);

private:
    ProductPoller& poller(const radar::SiteRow& site, const radar::RadarProductCode& product);
    // The status page's and status.json's answer, when the path is theirs.
    std::optional<server::Reply> statusReply(const server::RequestInfo& request);
    // /storms/<site>.json: the newest storm scan's cells, or ?scan= one of
    // the ten newest.
    void stormsReply(const server::RequestInfo& request, server::Responder respond);
    void answerFromScans(const server::RequestInfo& request, const server::Route& route,
                         ProductPoller& source, server::Responder respond);
    // The scan's picture, drawn off this thread once and then kept; empty
    // when it could not be drawn.
    void withFrame(const radar::SiteRow& site, const radar::RadarProductCode& product,
                   const Scan& scan, std::function<void(const QByteArray&)> done);
    void scanReply(const server::RequestInfo& request, const radar::SiteRow& site,
                   const radar::RadarProductCode& product, const Scan* scan,
                   server::Responder respond);

    Fetcher& fetcher_;
    Upstreams upstreams_;
    // Shared with the drawing threads.
    std::shared_ptr<picture::BasemapCache> basemaps_;
    std::function<QDateTime()> now_;
    qint64 startSeconds_;
    int noScanWaitMs_ = kNoScanWaitMs;
    std::map<QString, std::unique_ptr<ProductPoller>> pollers_;
    std::vector<const ProductPoller*> askedOrder_; // for the status page
    QCache<QString, QByteArray> frames_;
    // Pictures being drawn, with the requests waiting for each.
    std::map<QString, std::vector<std::function<void(const QByteArray&)>>> drawing_;
    std::unique_ptr<WarningsService> warnings_;
    OffThread offThread_; // last: its work's answers end with it
};

} // namespace nubivista::feed::nws
