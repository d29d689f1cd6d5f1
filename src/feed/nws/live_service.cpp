#include "feed/nws/live_service.h"

#include "feed/nws/echo_from_product.h"
#include "feed/nws/status_page.h"
#include "feed/nws/storm_json.h"
#include "feed/picture/frame_composer.h"
#include "feed/server/answers.h"
#include "feed/server/national_map.h"
#include "feed/server/pages.h"
#include "feed/server/routes.h"

#include <QRegularExpression>
#include <QTimer>
#include <new>
#include <utility>

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
                         picture::Towns towns, std::function<QDateTime()> now, QObject* parent)
    : QObject(parent),
      fetcher_(fetcher),
      upstreams_(std::move(upstreams)),
      basemaps_(std::make_shared<picture::BasemapCache>(std::move(boundaries), std::move(towns))),
      now_(std::move(now)),
      startSeconds_(now_().toSecsSinceEpoch()),
      frames_(kFrameCacheBytes) {}

void LiveService::setNoScanWaitMs(int ms) {
    noScanWaitMs_ = ms;
    if (warnings_)
        warnings_->setWaits(kHeldScanWaitMs, ms);
}

void LiveService::enableWarnings(AlertsUpstream upstream, picture::StateOutlines states) {
    warnings_ =
        std::make_unique<WarningsService>(fetcher_, std::move(upstream), std::move(states), now_);
    warnings_->setWaits(kHeldScanWaitMs, noScanWaitMs_);
}

ProductPoller& LiveService::poller(const radar::SiteRow& site,
                                   const radar::RadarProductCode& product) {
    std::unique_ptr<ProductPoller>& slot = pollers_[keyOf(site, product)];
    if (!slot) {
        slot = std::make_unique<ProductPoller>(fetcher_, upstreams_, site, product);
        askedOrder_.push_back(slot.get());
    }
    return *slot;
}

void LiveService::withFrame(const radar::SiteRow& site, const radar::RadarProductCode& product,
                            const Scan& scan, std::function<void(const QByteArray&)> done) {
    const QString key =
        keyOf(site, product) + QLatin1Char('/') + QString::number(scan.time.toSecsSinceEpoch());
    if (const QByteArray* cached = frames_.object(key)) {
        done(*cached);
        return;
    }
    std::vector<std::function<void(const QByteArray&)>>& waiting = drawing_[key];
    waiting.push_back(std::move(done));
    if (waiting.size() > 1)
        return; // drawn already for an earlier request
    const picture::FrameTitles titles =
        scanTitles(*scan.product, site, QString(product.caption), product.isLongRange());
    const picture::EchoKind kind =
        product.isRainfall() ? picture::EchoKind::Rainfall : picture::EchoKind::Reflectivity;
    offThread_.run(
        [basemaps = basemaps_, &site, longRange = product.isLongRange(), titles, kind,
         scanProduct = scan.product, odd = (scan.sequence & 1) != 0] {
            try {
                const picture::EchoGrid echoes = echoGridFromProduct(*scanProduct, kind, longRange);
                return picture::frameGif(
                    picture::composeFrame(echoes, basemaps->layer(site, longRange), titles), odd);
            } catch (const std::bad_alloc&) {
                return QByteArray(); // answered as a picture that could not be drawn
            }
        },
        [this, key](const QByteArray& gif) {
            if (!gif.isEmpty())
                frames_.insert(key, new QByteArray(gif), int(gif.size())); // the cache owns it
            std::vector<std::function<void(const QByteArray&)>> waiting;
            waiting.swap(drawing_[key]);
            drawing_.erase(key);
            for (auto& call : waiting)
                call(gif);
        });
}

void LiveService::scanReply(const server::RequestInfo& request, const radar::SiteRow& site,
                            const radar::RadarProductCode& product, const Scan* scan,
                            server::Responder respond) {
    // No scan since the feed started: an error, so that the program's own
    // failure path takes over; never a picture of something else.
    if (scan == nullptr) {
        respond(noScanYet(poller(site, product)));
        return;
    }
    withFrame(site, product, *scan,
              [this, request, respond, time = scan->time](const QByteArray& gif) {
                  if (gif.isEmpty()) {
                      respond(server::errorReply(
                          500, QStringLiteral("the picture of this scan could not be drawn")));
                      return;
                  }
                  Reply reply;
                  reply.body = gif;
                  reply.headers.emplace_back(server::kSourceHeader, "live");
                  const bool latest = request.path.endsWith(QLatin1String("/latest.gif"));
                  respond(server::resourceReply(
                      request, std::move(reply), "image/gif", time.toSecsSinceEpoch(),
                      latest ? kLatestMaxAge : kFrameMaxAge, now_().toSecsSinceEpoch()));
              });
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
    if (warnings_)
        state.warnings = warnings_->pollers();
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
    if (request.path.startsWith(QLatin1String("/storms/"))) {
        stormsReply(request, std::move(respond));
        return;
    }
    if (warnings_ && WarningsService::isWarningsPath(request.path)) {
        warnings_->reply(request, std::move(respond));
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
        static const QByteArray map =
            server::nationalMapGif(basemaps_->lines(), basemaps_->towns());
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
    // The rest needs the scans: brought up to date first, at most once a
    // minute, but never at the cost of an answer. With a scan held, the
    // refresh has a moment to bring a newer one and then goes on behind the
    // answer; with none, the answer waits for it, though not for ever.
    ProductPoller& source = poller(*route->site, *route->product);
    auto answered = std::make_shared<bool>(false);
    const auto answer = [this, request, respond, route = *route, &source, answered] {
        if (std::exchange(*answered, true))
            return;
        answerFromScans(request, route, source, respond);
    };
    QTimer::singleShot(source.scans().latest() ? kHeldScanWaitMs : noScanWaitMs_, this, answer);
    if (route->kind != Route::LoopList) {
        source.refresh(now_(), answer);
        return;
    }
    source.refresh(now_(), [this, &source, answer] {
        if (source.scans().latest() == nullptr) {
            answer();
            return;
        }
        source.refreshLoop(now_(), answer);
    });
}

namespace {

// The products of one volume scan share its time; an image's product may
// carry a time a little apart.
constexpr qint64 kVolumeSeconds = 6 * 60;

const level3::Product* productNear(const ScanArchive& scans, const QDateTime& time) {
    const Scan* scan = scans.nearest(time, kVolumeSeconds);
    return scan ? scan->product.get() : nullptr;
}

} // namespace

void LiveService::stormsReply(const server::RequestInfo& request, server::Responder respond) {
    static const QRegularExpression form(QStringLiteral("^/storms/([a-z0-9]{4})\\.json$"));
    const QRegularExpressionMatch match = form.match(request.path);
    const radar::SiteRow* site = match.hasMatch() ? radar::FindSite(match.captured(1)) : nullptr;
    if (site == nullptr) {
        respond(server::errorReply(404, QStringLiteral("the feed has no page at this address")));
        return;
    }
    const radar::RadarProductCode& tracking = radar::StormProductCodes[0];
    if (tracking.sourcesFor(site->type).empty()) {
        respond(server::errorReply(404, nothingPublished(*site, tracking)));
        return;
    }
    std::vector<ProductPoller*> sources;
    for (const radar::RadarProductCode& product : radar::StormProductCodes)
        sources.push_back(&poller(*site, product));
    auto answered = std::make_shared<bool>(false);
    auto waiting = std::make_shared<std::size_t>(sources.size());
    const auto answer = [this, request, respond, site, sources, answered] {
        if (std::exchange(*answered, true))
            return;
        const ProductPoller& source = *sources[0];
        const QString asked = request.query.queryItemValue(QStringLiteral("scan"));
        const Scan* scan =
            asked.isEmpty()
                ? source.scans().latest()
                : source.scans().nearest(QDateTime::fromString(asked, Qt::ISODate), kVolumeSeconds);
        if (scan == nullptr) {
            respond(
                asked.isEmpty()
                    ? noScanYet(source)
                    : server::errorReply(
                          404, QStringLiteral("the feed holds no storm scan of %1").arg(asked)));
            return;
        }
        StormScan storms{scan->product.get(), productNear(sources[1]->scans(), scan->time),
                         productNear(sources[2]->scans(), scan->time),
                         productNear(sources[3]->scans(), scan->time)};
        Reply reply;
        reply.body = stormsJson(*site, storms);
        respond(server::resourceReply(request, std::move(reply), "application/json",
                                      scan->time.toSecsSinceEpoch(), kLatestMaxAge,
                                      now_().toSecsSinceEpoch()));
    };
    QTimer::singleShot(sources[0]->scans().latest() ? kHeldScanWaitMs : noScanWaitMs_, this,
                       answer);
    for (ProductPoller* source : sources)
        source->refresh(now_(), [answer, waiting] {
            if (--*waiting == 0)
                answer();
        });
}

void LiveService::answerFromScans(const server::RequestInfo& request, const server::Route& route,
                                  ProductPoller& source, server::Responder respond) {
    const radar::SiteRow& site = *route.site;
    const radar::RadarProductCode& product = *route.product;
    const ScanArchive& scans = source.scans();
    if (scans.latest() == nullptr && source.refreshing()) {
        respond(server::errorReply(
            503,
            QStringLiteral("The weather service has not answered for %1 within %2 s")
                .arg(QString(site.code).toUpper())
                .arg(noScanWaitMs_ / 1000.0),
            source.lastError()));
        return;
    }
    switch (route.kind) {
    case Route::LatestImage:
        scanReply(request, site, product, scans.latest(), std::move(respond));
        return;
    case Route::FrameImage: {
        const Scan* scan = scans.at(QDateTime::fromSecsSinceEpoch(route.frameSeconds, Qt::UTC));
        if (scan == nullptr) {
            respond(server::errorReply(404, QStringLiteral("the feed holds no scan of this time")));
            return;
        }
        scanReply(request, site, product, scan, std::move(respond));
        return;
    }
    default: { // the loop list: the ten newest scans, oldest first
        if (scans.latest() == nullptr) {
            respond(noScanYet(source));
            return;
        }
        std::vector<qint64> times;
        for (const Scan& scan : scans.newest())
            times.insert(times.begin(), scan.time.toSecsSinceEpoch());
        Reply reply;
        reply.body = server::loopList(product, site, times);
        respond(server::resourceReply(request, std::move(reply), "text/plain", times.back(),
                                      kLatestMaxAge, now_().toSecsSinceEpoch()));
        return;
    }
    }
}

} // namespace nubivista::feed::nws
