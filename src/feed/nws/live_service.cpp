#include "feed/nws/live_service.h"

#include "feed/nws/echo_from_product.h"
#include "feed/nws/status_page.h"
#include "feed/picture/frame_composer.h"
#include "feed/server/answers.h"
#include "feed/server/national_map.h"
#include "feed/server/pages.h"
#include "feed/server/routes.h"

namespace nubivista::feed::nws {

namespace {

using server::Reply;
using server::Route;

// Pages and the national map change with the program only.
constexpr int kPageMaxAge = 3600;
// The program polls the latest image; a scan comes every few minutes.
constexpr int kLatestMaxAge = 60;
constexpr int kFrameMaxAge = 86400;

QString keyOf(const radar::SiteRow& site, const radar::RadarProductCode& product) {
    return QString(site.code) + QLatin1Char('/') + QString(product.code);
}

// "TSTL publishes no storm-total rainfall product"
QString nothingPublished(const radar::SiteRow& site, const radar::RadarProductCode& product) {
    return QStringLiteral("%1 publishes no %2 product")
        .arg(QString(site.code).toUpper(), product.productName());
}

// No scan of the site and product since the feed started: why, in a
// watcher's words, with what the upstreams said.
server::Reply noScanYet(const ProductPoller& source) {
    if (source.watcherReason().isEmpty())
        return server::errorReply(503, QStringLiteral("%1 has no scan of this product yet")
                                           .arg(QString(source.site().code).toUpper()));
    return server::errorReply(503, source.watcherReason(), source.lastError());
}

} // namespace

LiveService::LiveService(Fetcher& fetcher, Upstreams upstreams, picture::BoundaryLines boundaries,
                         std::function<QDateTime()> now, QObject* parent)
    : QObject(parent),
      fetcher_(fetcher),
      upstreams_(std::move(upstreams)),
      basemaps_(std::move(boundaries)),
      now_(std::move(now)),
      startSeconds_(now_().toSecsSinceEpoch()),
      frames_(kFrameCacheBytes) {}

ProductPoller& LiveService::poller(const radar::SiteRow& site,
                                   const radar::RadarProductCode& product) {
    std::unique_ptr<ProductPoller>& slot = pollers_[keyOf(site, product)];
    if (!slot) {
        slot = std::make_unique<ProductPoller>(fetcher_, upstreams_, site, product);
        askedOrder_.push_back(slot.get());
    }
    return *slot;
}

QByteArray LiveService::frame(const radar::SiteRow& site, const radar::RadarProductCode& product,
                              const Scan& scan) {
    const QString key =
        keyOf(site, product) + QLatin1Char('/') + QString::number(scan.time.toSecsSinceEpoch());
    if (const QByteArray* cached = frames_.object(key))
        return *cached;
    picture::FrameTitles titles;
    titles.site = site.stationTitle();
    titles.product = QString(product.caption);
    titles.longRange = product.isLongRange();
    titles.scanTime = scan.time;
    titles.notes = nullProductNotes(*scan.product);
    const picture::EchoGrid echoes = echoGridFromProduct(
        *scan.product,
        product.isRainfall() ? picture::EchoKind::Rainfall : picture::EchoKind::Reflectivity,
        product.isLongRange());
    const QByteArray gif = picture::frameGif(
        picture::composeFrame(echoes, basemaps_.layer(site, product.isLongRange()), titles),
        (scan.sequence & 1) != 0);
    frames_.insert(key, new QByteArray(gif), int(gif.size())); // the cache owns it
    return gif;
}

Reply LiveService::scanReply(const server::RequestInfo& request, const radar::SiteRow& site,
                             const radar::RadarProductCode& product, const Scan* scan) {
    // No scan since the feed started: an error, so that the program's own
    // failure path takes over; never a picture of something else.
    if (scan == nullptr)
        return noScanYet(poller(site, product));
    Reply reply;
    reply.body = frame(site, product, *scan);
    if (reply.body.isEmpty())
        return server::errorReply(500,
                                  QStringLiteral("the picture of this scan could not be drawn"));
    reply.headers.emplace_back(server::kSourceHeader, "live");
    const bool latest = request.path.endsWith(QLatin1String("/latest.gif"));
    return server::resourceReply(request, std::move(reply), "image/gif",
                                 scan->time.toSecsSinceEpoch(),
                                 latest ? kLatestMaxAge : kFrameMaxAge, now_().toSecsSinceEpoch());
}

std::optional<server::Reply> LiveService::statusReply(const server::RequestInfo& request) {
    const bool json = request.path == QLatin1String("/status.json");
    if (!json && request.path != QLatin1String("/status"))
        return std::nullopt;
    FeedState state;
    state.now = now_();
    state.uptimeSeconds = state.now.toSecsSinceEpoch() - startSeconds_;
    state.cacheBytes = frames_.totalCost();
    state.products = askedOrder_;
    Reply reply;
    reply.body = json ? statusJson(state) : statusHtml(state);
    reply.headers.emplace_back("Cache-Control", "no-store");
    reply.headers.emplace_back("Content-Type", json ? QByteArray("application/json")
                                                    : QByteArray("text/html; charset=utf-8"));
    if (request.method == "HEAD")
        reply.sendBody = false;
    return reply;
}

void LiveService::handle(const server::RequestInfo& request, server::Responder respond) {
    if (request.method != "GET" && request.method != "HEAD") {
        Reply reply = server::errorReply(405);
        reply.headers.emplace_back("Allow", "GET, HEAD");
        respond(reply);
        return;
    }
    if (std::optional<server::Reply> status = statusReply(request)) {
        respond(*status);
        return;
    }
    const std::optional<Route> route = server::resolveRoute(request.path);
    if (!route) {
        respond(server::errorReply(404, QStringLiteral("the feed has no page at this address")));
        return;
    }
    // A radar that publishes nothing for the picture asked for.
    if (route->site != nullptr && route->product != nullptr &&
        route->product->sourcesFor(route->site->type).empty()) {
        respond(server::errorReply(404, nothingPublished(*route->site, *route->product)));
        return;
    }
    const qint64 now = now_().toSecsSinceEpoch();
    const auto page = [&](const QByteArray& body, const QByteArray& type) {
        Reply reply;
        reply.body = body;
        respond(server::resourceReply(request, std::move(reply), type, startSeconds_, kPageMaxAge,
                                      now));
    };
    switch (route->kind) {
    case Route::NationalPage:
        page(server::nationalMapHtml(), "text/html; charset=utf-8");
        return;
    case Route::NationalImage: {
        static const QByteArray map = server::nationalMapGif(basemaps_.lines());
        page(map, "image/gif");
        return;
    }
    case Route::LatestPage:
        page(server::latestPageHtml(*route->product, *route->site), "text/html; charset=utf-8");
        return;
    case Route::LoopPage:
        page(server::loopPageHtml(*route->product, *route->site), "text/html; charset=utf-8");
        return;
    default:
        break;
    }
    // The rest needs the scans: brought up to date first, at most once a minute.
    const radar::SiteRow& site = *route->site;
    const radar::RadarProductCode& product = *route->product;
    ProductPoller& source = poller(site, product);
    source.refresh(now_(), [this, request, respond, route = *route, &site, &product, &source] {
        const QDateTime now = now_();
        const ScanArchive& scans = source.scans();
        switch (route.kind) {
        case Route::LatestImage:
            respond(scanReply(request, site, product, scans.latest()));
            return;
        case Route::FrameImage: {
            const Scan* scan = scans.at(QDateTime::fromSecsSinceEpoch(route.frameSeconds, Qt::UTC));
            respond(scan ? scanReply(request, site, product, scan)
                         : server::errorReply(
                               404, QStringLiteral("the feed holds no scan of this time")));
            return;
        }
        default: // the loop list: the ten newest scans, oldest first
            if (scans.latest() == nullptr) {
                respond(noScanYet(source));
                return;
            }
            source.refreshLoop(now, [this, request, respond, &site, &product, &source] {
                std::vector<qint64> times;
                for (const Scan& scan : source.scans().newest())
                    times.insert(times.begin(), scan.time.toSecsSinceEpoch());
                Reply reply;
                reply.body = server::loopList(product, site, times);
                respond(server::resourceReply(request, std::move(reply), "text/plain", times.back(),
                                              kLatestMaxAge, now_().toSecsSinceEpoch()));
            });
            return;
        }
    });
}

} // namespace nubivista::feed::nws
