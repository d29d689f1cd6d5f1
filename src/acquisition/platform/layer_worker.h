#pragma once
// The part of the Internet layer that lives on the layer's own thread: the
// network access manager with its disk cache, the cache lookups and the
// downloads. Every method runs on that thread; InternetLayer marshals to it.
#include "acquisition/platform/download_job.h"
#include "acquisition/platform/internet_service.h"

#include <QHash>
#include <QMutex>
#include <QNetworkProxy>
#include <QObject>
#include <atomic>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkDiskCache;

namespace nubivista::platform {

class UpstreamProxyFactory;

class LayerWorker : public QObject {
    Q_OBJECT
public:
    LayerWorker(const QString& cacheFolder, qint64 cacheMaxBytes, const std::atomic_bool& offline);
    ~LayerWorker() override;

    // Creates the network objects; call on the layer's thread.
    void setUp();

    QNetworkAccessManager& network() { return *network_; }
    bool offline() const { return offline_.load(); }

    std::optional<CacheEntry> cacheEntry(const QUrl& address) const;
    qint64 cacheSize() const;
    void clearCache();

    // No value: the system proxy configuration (http_proxy on Linux).
    void setUpstreamProxy(const std::optional<QNetworkProxy>& proxy);
    void setFeedProxy(const std::optional<QNetworkProxy>& proxy);
    void setFeedDown();
    bool feedDownFor(const QUrl& address) const;
    void setFrontPort(quint16 port);
    QString upstreamProxyDescription(const QUrl& sample) const;
    // The proxy a tunnel to host:port takes (the same rule as other traffic).
    QNetworkProxy tunnelProxyFor(const QString& host, quint16 port) const;

    // The source the downloaded pictures must name (see DownloadJob).
    void setPictureSource(const QByteArray& source) { pictureSource_ = source; }
    void startDownload(quint64 id, const QUrl& address, const QString& path,
                       const DownloadLimits& limits);
    void abortDownload(quint64 id);

    // The reason the feed gave with its last answer for an address (its
    // X-Nubivista-Reason header), kept until a later answer gives none. Any
    // thread may ask.
    void noteFeedAnswer(const QUrl& address, const QByteArray& reason);
    QString feedReason(const QUrl& address) const;

    // A small answer fetched afresh, bypassing the cache, given up after
    // timeoutMs or once it passes kFetchMaxBytes.
    void startFetch(quint64 id, const QUrl& address, int timeoutMs);
    static constexpr qint64 kFetchMaxBytes = 1024 * 1024;

signals:
    void downloadFinished(quint64 id, bool ok, const QString& error, const QString& refusedSource);
    // ok: a 2xx answer whose whole body is body.
    void fetchFinished(quint64 id, bool ok, const QByteArray& body);

private:
    QString cacheFolder_;
    qint64 cacheMaxBytes_;
    const std::atomic_bool& offline_;
    QNetworkAccessManager* network_ = nullptr; // children of this worker
    QNetworkDiskCache* cache_ = nullptr;
    UpstreamProxyFactory* proxyFactory_ = nullptr; // owned by network_
    QHash<quint64, DownloadJob*> downloads_;
    QByteArray pictureSource_;
    mutable QMutex reasonsMutex_;
    QHash<QString, QString> reasons_; // by address, lower case
};

} // namespace nubivista::platform
