#include "acquisition/platform/layer_worker.h"

#include "acquisition/platform/proxy_rules.h"
#include "acquisition/platform/upstream_proxy.h"

#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkProxyQuery>
#include <QNetworkReply>
#include <QTimer>

namespace nubivista::platform {

LayerWorker::LayerWorker(const QString& cacheFolder, qint64 cacheMaxBytes,
                         const std::atomic_bool& offline)
    : cacheFolder_(cacheFolder), cacheMaxBytes_(cacheMaxBytes), offline_(offline) {}

LayerWorker::~LayerWorker() {
    // Jobs are children; their destructors abort their replies first.
    qDeleteAll(downloads_);
    downloads_.clear();
}

void LayerWorker::setUp() {
    network_ = new QNetworkAccessManager(this);
    cache_ = new QNetworkDiskCache(network_);
    cache_->setCacheDirectory(cacheFolder_);
    cache_->setMaximumCacheSize(cacheMaxBytes_);
    network_->setCache(cache_); // takes ownership
    proxyFactory_ = new UpstreamProxyFactory;
    network_->setProxyFactory(proxyFactory_); // takes ownership
}

std::optional<CacheEntry> LayerWorker::cacheEntry(const QUrl& address) const {
    const QUrl key = normalizedAddress(address);
    const QNetworkCacheMetaData meta = cache_->metaData(key);
    if (!meta.isValid() || !meta.lastModified().isValid())
        return std::nullopt;
    const std::unique_ptr<QIODevice> body(cache_->data(key));
    if (!body)
        return std::nullopt;
    return CacheEntry{meta.lastModified().toUTC(), body->size()};
}

qint64 LayerWorker::cacheSize() const {
    return cache_->cacheSize();
}

void LayerWorker::clearCache() {
    cache_->clear();
}

void LayerWorker::setUpstreamProxy(const std::optional<QNetworkProxy>& proxy) {
    proxyFactory_->setExplicitProxy(proxy);
    // Connections already open to the old proxy must not be reused.
    network_->clearConnectionCache();
}

void LayerWorker::setFeedProxy(const std::optional<QNetworkProxy>& proxy) {
    proxyFactory_->setFeedProxy(proxy);
    network_->clearConnectionCache();
}

void LayerWorker::setFeedDown() {
    proxyFactory_->setFeedDown();
    network_->clearConnectionCache();
}

bool LayerWorker::feedDownFor(const QUrl& address) const {
    return proxyFactory_->feedDownFor(address);
}

void LayerWorker::setFrontPort(quint16 port) {
    proxyFactory_->setFrontPort(port);
}

QString LayerWorker::upstreamProxyDescription(const QUrl& sample) const {
    const auto proxies = proxyFactory_->queryProxy(QNetworkProxyQuery(sample));
    if (proxies.isEmpty() || proxies.first().type() == QNetworkProxy::NoProxy)
        return tr("None (direct connection)");
    const QNetworkProxy& p = proxies.first();
    return QStringLiteral("%1:%2").arg(p.hostName()).arg(p.port());
}

QNetworkProxy LayerWorker::tunnelProxyFor(const QString& host, quint16 port) const {
    QUrl target;
    target.setScheme(QStringLiteral("https"));
    target.setHost(host);
    target.setPort(port);
    const auto proxies = proxyFactory_->queryProxy(QNetworkProxyQuery(target));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.first();
}

void LayerWorker::startDownload(quint64 id, const QUrl& address, const QString& path,
                                const DownloadLimits& limits) {
    auto* job =
        new DownloadJob(*network_, normalizedAddress(address), path, limits, offline(), this);
    job->expectSource(pictureSource_);
    downloads_.insert(id, job);
    connect(job, &DownloadJob::finished, this, [this, id, job](const DownloadResult& result) {
        downloads_.remove(id);
        job->deleteLater();
        emit downloadFinished(id, result.ok, result.error, result.refusedSource);
    });
    job->start();
}

void LayerWorker::abortDownload(quint64 id) {
    if (DownloadJob* job = downloads_.value(id))
        job->abort(tr("Timed out"));
}

void LayerWorker::startFetch(quint64 id, const QUrl& address, int timeoutMs) {
    QNetworkRequest request(normalizedAddress(address));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    askForPlainBody(request);
    QNetworkReply* reply = network_->get(request);
    // An abort ends the reply as cancelled, which finished() reports as failed.
    QTimer::singleShot(timeoutMs, reply, [reply] { reply->abort(); });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kFetchMaxBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, id, reply] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool answered =
            reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299;
        const QByteArray body = answered ? reply->read(kFetchMaxBytes + 1) : QByteArray();
        const bool ok = answered && body.size() <= kFetchMaxBytes;
        emit fetchFinished(id, ok, ok ? body : QByteArray());
    });
}

void LayerWorker::noteFeedAnswer(const QUrl& address, const QByteArray& reason) {
    const QString key = address.toString(QUrl::RemoveFragment).toLower();
    const QMutexLocker lock(&reasonsMutex_);
    if (reason.isEmpty())
        reasons_.remove(key);
    else if (reasons_.size() < 1000 || reasons_.contains(key)) // a bound on what is kept
        reasons_.insert(key, QString::fromLatin1(reason).left(300));
}

QString LayerWorker::feedReason(const QUrl& address) const {
    const QMutexLocker lock(&reasonsMutex_);
    return reasons_.value(address.toString(QUrl::RemoveFragment).toLower());
}

} // namespace nubivista::platform
