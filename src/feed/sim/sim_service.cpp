#include "feed/sim/sim_service.h"

#include "feed/server/answers.h"
#include "feed/server/http_date.h"
#include "feed/server/national_map.h"
#include "feed/server/pages.h"
#include "feed/server/request.h"
#include "feed/server/routes.h"
#include "feed/sim/frame_renderer.h"
#include "feed/sim/products.h"
#include "feed/sim/sim_storms.h"
#include "feed/sim/site_list.h"
#include "feed/sim/storm_model.h"
#include "radar/site_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace nubivista::feed::sim {

using namespace server;
using server::httpDate;
using server::parseHttpDate;
using server::reasonPhrase;

namespace {

constexpr qsizetype kFrameCacheBytes = 96 * 1024 * 1024;
constexpr int kImmutableMaxAge = 3600; // published frames never change

Reply jsonReply(const QJsonObject& object) {
    Reply reply;
    reply.headers.emplace_back("Content-Type", "application/json");
    reply.headers.emplace_back("Cache-Control", "no-store");
    reply.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return reply;
}

QString isoUtc(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
}

} // namespace

SimService::SimService(QDateTime startUtc, double speed, int frameIntervalSeconds)
    : m_clock(std::move(startUtc), speed, frameIntervalSeconds),
      m_frames(kFrameCacheBytes),
      m_publishedSeconds(m_clock.frameSeconds(m_clock.newestFrameIndex())) {}

QByteArray SimService::frameBytes(const QString& siteCode, const QString& productCode,
                                  qint64 frameIndex) {
    const QString key =
        siteCode + QLatin1Char('/') + productCode + QLatin1Char('/') + QString::number(frameIndex);
    if (const QByteArray* cached = m_frames.object(key)) {
        return *cached;
    }
    const std::optional<Site> site = findSite(siteCode);
    const std::optional<Product> product = findProduct(productCode);
    if (!site || !product) {
        return {};
    }
    QByteArray gif = frameGif(*site, *product, m_clock.frameSeconds(frameIndex), frameIndex);
    m_frames.insert(key, new QByteArray(gif), gif.size()); // QCache takes ownership
    return gif;
}

Reply SimService::reply(const RequestInfo& request) {
    Reply reply = answer(request);
    if (request.closeAfterReply && reply.delivery == Delivery::Normal) {
        reply.closeAfterReply = true;
        reply.headers.emplace_back("Connection", "close");
    }
    return reply;
}

Reply SimService::answer(const RequestInfo& request) {
    if (request.path.startsWith(QLatin1String("/_sim/"))) {
        if (!m_admin)
            return errorReply(404, QStringLiteral("The simulator's admin paths are off: the "
                                                  "feed was started without --admin"));
        return handleAdmin(request);
    }
    if (fault(FaultKind::Close, request)) {
        Reply reply;
        reply.delivery = Delivery::Close;
        return reply;
    }
    if (fault(FaultKind::Hang, request)) {
        Reply reply;
        reply.delivery = Delivery::Hang;
        return reply;
    }
    if (fault(FaultKind::NotFound, request)) {
        return errorReply(404);
    }
    if (fault(FaultKind::ServerError, request)) {
        return errorReply(500);
    }
    Reply reply = serve(request);
    if (const std::optional<Fault> delay = fault(FaultKind::Delay, request)) {
        reply.delayMs = delay->delayMs;
    }
    if (fault(FaultKind::Truncate, request) && reply.sendBody && !reply.body.isEmpty()) {
        reply.delivery = Delivery::Truncate;
    }
    if (fault(FaultKind::NoLength, request) && reply.sendBody) {
        reply.delivery = Delivery::NoLength;
    }
    return reply;
}

Reply SimService::serve(const RequestInfo& request) {
    if (request.method != "GET" && request.method != "HEAD") {
        Reply reply = errorReply(405);
        reply.headers.emplace_back("Allow", "GET, HEAD");
        return reply;
    }
    // The status page: the simulated radars have no upstream to report on.
    if (request.path == QLatin1String("/status.json")) {
        QJsonObject status;
        status[QStringLiteral("source")] = QStringLiteral("sim");
        status[QStringLiteral("now")] = isoUtc(m_clock.nowSeconds());
        status[QStringLiteral("products")] = QJsonArray();
        return jsonReply(status);
    }
    if (request.path == QLatin1String("/status")) {
        Reply reply = plainReply(
            200,
            QStringLiteral("Simulated radar: no weather service is asked. A frame is published "
                           "every %1 s; the newest is of %2.\n")
                .arg(m_clock.frameIntervalSeconds())
                .arg(isoUtc(m_clock.frameSeconds(m_clock.newestFrameIndex())))
                .toUtf8());
        reply.headers.emplace_back("Cache-Control", "no-store");
        return reply;
    }
    if (isStormsPath(request.path)) {
        return stormsReply(request, m_clock);
    }
    // The simulated storms come with no warnings: an empty list in the live form.
    static const QRegularExpression warningsPath(
        QStringLiteral("^/warnings/([a-z0-9]{4})\\.json$"));
    if (const QRegularExpressionMatch match = warningsPath.match(request.path);
        match.hasMatch() && radar::FindSite(match.captured(1)) != nullptr) {
        return jsonReply(QJsonObject{{QStringLiteral("site"), match.captured(1)},
                                     {QStringLiteral("fetched"), isoUtc(m_clock.nowSeconds())},
                                     {QStringLiteral("source"), QStringLiteral("sim")},
                                     {QStringLiteral("warnings"), QJsonArray()}});
    }
    const std::optional<Route> resource = resolveRoute(request.path);
    if (!resource) {
        return errorReply(404);
    }
    const qint64 newestIndex = m_clock.newestFrameIndex();
    const qint64 newestSeconds = m_clock.frameSeconds(newestIndex);
    Reply reply;
    QByteArray contentType = "text/html; charset=utf-8";
    qint64 lastModified = newestSeconds;
    int maxAge = m_clock.realSecondsToNextFrame();
    const bool isGif = resource->kind == Route::NationalImage ||
                       resource->kind == Route::LatestImage || resource->kind == Route::FrameImage;
    switch (resource->kind) {
    case Route::NationalPage: {
        static const QByteArray kPage = nationalMapHtml();
        reply.body = kPage;
        lastModified = m_publishedSeconds;
        break;
    }
    case Route::NationalImage: {
        static const QByteArray kMap = nationalMapGif(boundaryLines(), mapTowns());
        reply.body = kMap;
        lastModified = m_publishedSeconds;
        break;
    }
    case Route::LatestPage:
        reply.body = latestPageHtml(*resource->product, *resource->site);
        break;
    case Route::LoopPage:
        reply.body = loopPageHtml(*resource->product, *resource->site);
        break;
    case Route::LatestImage: {
        qint64 bytesIndex = newestIndex;
        if (const std::optional<Fault> republish = fault(FaultKind::Republish, request)) {
            bytesIndex = std::min(republish->frozenFrameIndex, newestIndex);
        }
        reply.body = frameBytes(resource->site->code, resource->product->codeString(), bytesIndex);
        break;
    }
    case Route::FrameImage: {
        const qint64 interval = m_clock.frameIntervalSeconds();
        if (resource->frameSeconds > newestSeconds || resource->frameSeconds % interval != 0) {
            return errorReply(404);
        }
        reply.body = frameBytes(resource->site->code, resource->product->codeString(),
                                resource->frameSeconds / interval);
        lastModified = resource->frameSeconds;
        maxAge = kImmutableMaxAge;
        break;
    }
    case Route::LoopList: {
        LoopListOptions options;
        options.crlf = fault(FaultKind::Crlf, request).has_value();
        options.nineLines = fault(FaultKind::NineLines, request).has_value();
        options.badDate = fault(FaultKind::BadDate, request).has_value();
        // The last ten frames up to the newest, oldest first.
        std::vector<qint64> frames;
        for (int age = 9; age >= 0; --age)
            frames.push_back(newestSeconds - qint64{age} * m_clock.frameIntervalSeconds());
        reply.body = loopList(*resource->product, *resource->site, frames, options);
        contentType = "text/plain";
        break;
    }
    }
    if (isGif) {
        contentType = "image/gif";
        reply.headers.emplace_back(kSourceHeader, "sim");
        if (fault(FaultKind::Corrupt, request)) {
            reply.body = corruptGif(reply.body);
        }
    }
    return resourceReply(request, std::move(reply), contentType, lastModified, maxAge,
                         m_clock.nowSeconds());
}

Reply SimService::handleAdmin(const RequestInfo& request) {
    const QString command = request.path.mid(6);
    if (command == QLatin1String("fault")) {
        const QString name = request.query.queryItemValue(QStringLiteral("name"));
        if (name == QLatin1String("none")) {
            m_faults.clear();
            Reply reply = plainReply(200, "ok");
            reply.releaseHeldConnections = true;
            return reply;
        }
        const std::optional<FaultKind> kind = faultKindFromName(name);
        if (!kind) {
            return plainReply(400, "unknown fault");
        }
        Fault requested{*kind,
                        request.query.queryItemValue(QStringLiteral("match"), QUrl::FullyDecoded),
                        request.query.queryItemValue(QStringLiteral("host")).toLower()};
        bool msOk = false;
        const int ms = request.query.queryItemValue(QStringLiteral("ms")).toInt(&msOk);
        requested.delayMs = msOk && ms >= 0 ? ms : 1000;
        requested.frozenFrameIndex = m_clock.newestFrameIndex();
        m_faults.set(requested);
        return plainReply(200, "ok");
    }
    if (command == QLatin1String("advance")) {
        bool ok = false;
        const int frames = request.query.queryItemValue(QStringLiteral("frames")).toInt(&ok);
        if (request.query.hasQueryItem(QStringLiteral("frames")) && (!ok || frames < 0)) {
            return plainReply(400, "bad frames");
        }
        m_clock.advanceFrames(ok ? frames : 1);
        return plainReply(200, "ok");
    }
    if (command == QLatin1String("state")) {
        return state();
    }
    if (command == QLatin1String("truth")) {
        return truth(request.query);
    }
    return errorReply(404);
}

Reply SimService::state() const {
    QJsonObject object;
    object.insert(QStringLiteral("now"), isoUtc(m_clock.nowSeconds()));
    object.insert(QStringLiteral("frameInterval"), m_clock.frameIntervalSeconds());
    object.insert(QStringLiteral("newestFrame"),
                  isoUtc(m_clock.frameSeconds(m_clock.newestFrameIndex())));
    object.insert(QStringLiteral("speed"), m_clock.speed());
    return jsonReply(object);
}

Reply SimService::truth(const QUrlQuery& query) const {
    const std::optional<Site> site = findSite(query.queryItemValue(QStringLiteral("site")));
    const std::optional<Product> product =
        findProduct(query.hasQueryItem(QStringLiteral("product"))
                        ? query.queryItemValue(QStringLiteral("product"))
                        : QStringLiteral("DS.p19r0"));
    if (!site || !product) {
        return plainReply(400, "unknown site or product");
    }
    const qint64 frameSeconds = m_clock.frameSeconds(m_clock.newestFrameIndex());
    const StormModel storms(site->code);
    QJsonArray cells;
    for (const CellState& cell : storms.cellsAt(frameSeconds)) {
        const QPointF pixel = milesToPixel(cell.eastMiles, cell.northMiles, *product);
        const GeoPoint place = offsetToLatLon(*site, cell.eastMiles, cell.northMiles);
        QJsonObject entry;
        entry.insert(QStringLiteral("x"), pixel.x());
        entry.insert(QStringLiteral("y"), pixel.y());
        entry.insert(QStringLiteral("lat"), place.latitude);
        entry.insert(QStringLiteral("lon"), place.longitude);
        entry.insert(QStringLiteral("eastMiles"), cell.eastMiles);
        entry.insert(QStringLiteral("northMiles"), cell.northMiles);
        entry.insert(QStringLiteral("peakDbz"), cell.peakDbz);
        entry.insert(QStringLiteral("visible"), pixel.x() >= 0 && pixel.x() < kImageWidth &&
                                                    pixel.y() >= kMapTop && pixel.y() < kMapBottom);
        cells.append(entry);
    }
    QJsonObject object;
    object.insert(QStringLiteral("site"), site->code);
    object.insert(QStringLiteral("product"), product->codeString());
    object.insert(QStringLiteral("frameTime"), isoUtc(frameSeconds));
    object.insert(QStringLiteral("lat"), site->latitude);
    object.insert(QStringLiteral("lon"), site->longitude);
    object.insert(QStringLiteral("centerX"), kCenterX);
    object.insert(QStringLiteral("centerY"), kCenterY);
    object.insert(QStringLiteral("speedMph"), storms.speedMph());
    object.insert(QStringLiteral("speedKmh"), storms.speedMph() * 1.609344);
    object.insert(QStringLiteral("headingDeg"), storms.headingDegrees());
    object.insert(QStringLiteral("milesPerPixelShort"), kMilesPerPixelShort);
    object.insert(QStringLiteral("milesPerPixelLong"), kMilesPerPixelLong);
    object.insert(QStringLiteral("milesPerPixel"), milesPerPixel(*product));
    object.insert(QStringLiteral("cells"), cells);
    return jsonReply(object);
}

} // namespace nubivista::feed::sim
