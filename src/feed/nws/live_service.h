#pragma once
// The live source: answers the address grammar from today's Level III
// products, each scan drawn once and served under its own scan time.
#include "feed/nws/product_poller.h"
#include "feed/picture/basemap_cache.h"
#include "feed/server/request.h"

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
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTimeUtc(); },
        QObject* parent = nullptr);

    void handle(const server::RequestInfo& request, server::Responder respond) override;

    static constexpr qint64 kFrameCacheBytes = 64 << 20;

private:
    ProductPoller& poller(const radar::SiteRow& site, const radar::RadarProductCode& product);
    // The status page's and status.json's answer, when the path is theirs.
    std::optional<server::Reply> statusReply(const server::RequestInfo& request);
    QByteArray frame(const radar::SiteRow& site, const radar::RadarProductCode& product,
                     const Scan& scan);
    server::Reply scanReply(const server::RequestInfo& request, const radar::SiteRow& site,
                            const radar::RadarProductCode& product, const Scan* scan);

    Fetcher& fetcher_;
    Upstreams upstreams_;
    picture::BasemapCache basemaps_;
    std::function<QDateTime()> now_;
    qint64 startSeconds_;
    std::map<QString, std::unique_ptr<ProductPoller>> pollers_;
    std::vector<const ProductPoller*> askedOrder_; // for the status page
    QCache<QString, QByteArray> frames_;
};

} // namespace nubivista::feed::nws
