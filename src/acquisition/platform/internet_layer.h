#pragma once
// The one road to the network. The layer runs on its own thread, owns the
// network access manager and its disk cache in the user cache folder, and
// serves the panes' proxy front; it keeps the offline switch that panes,
// lookups and downloads honour. Calls from the UI thread are synchronous and
// bounded in time.
#include "acquisition/platform/download_job.h"
#include "acquisition/platform/internet_service.h"
#include "acquisition/platform/proxy_credentials.h"

#include <QNetworkProxy>
#include <QObject>
#include <QThread>
#include <atomic>
#include <optional>

namespace nubivista::platform {

class LayerWorker;
class ProxyFront;

struct InternetLayerOptions {
    // Empty: QStandardPaths::CacheLocation + "/internet".
    QString cacheFolder;
    qint64 cacheMaxBytes = 200LL * 1024 * 1024;
    DownloadLimits downloadLimits;
    // How long the panes' front waits for a server before it reports the
    // page as failed (a hung server then ends in a navigate error).
    int paneFetchTimeoutMs = 30'000;
    // No value: the system proxy configuration (http_proxy on Linux).
    std::optional<QNetworkProxy> upstreamProxy;
    // The feed that answers the radar servers' addresses (see
    // radar::IsFeedAddress); no value: they take the upstream proxy too.
    std::optional<QNetworkProxy> feedProxy;
    // The source every downloaded picture must name, the feed's own ("live",
    // "sim"); empty: any (a feed whose source the program does not know).
    QByteArray pictureSource;
    // The front becomes the application proxy, which the panes use. Must hold
    // before the first pane exists.
    bool installApplicationProxy = true;
};

class InternetLayer : public QObject, public InternetService {
    Q_OBJECT
public:
    explicit InternetLayer(const InternetLayerOptions& options = {}, QObject* parent = nullptr);
    ~InternetLayer() override;

    // InternetService
    ConnectionState connectionState() override;
    bool workingOffline() override { return offline_.load(); }
    void dial() override;
    bool goOnline() override;
    bool goOffline() override;
    std::optional<CacheEntry> cacheEntry(const QUrl& address) override;
    DownloadResult downloadToFile(const QUrl& address, const QString& path) override;
    bool showOptionsDialog(QWidget* parent) override;
    QString feedReason(const QUrl& address) override;
    void fetchFresh(const QUrl& address, int timeoutMs, QObject* receiver, FetchDone done) override;

    // The front the panes talk to, and the credentials they answer it with.
    QNetworkProxy paneProxy() const;
    const ProxyCredentials& credentials() const { return credentials_; }
    bool isRunning() const { return frontPort_ != 0; }

    void setDownloadLimits(const DownloadLimits& limits) { limits_ = limits; }
    DownloadLimits downloadLimits() const { return limits_; }
    void setUpstreamProxy(const std::optional<QNetworkProxy>& proxy);
    void setFeedProxy(const std::optional<QNetworkProxy>& proxy);
    // The feed is not running: its addresses fail (panes see the server's
    // fault, not a missing page) and nothing of them leaves the machine.
    void setFeedDown();
    // The proxy that ordinary addresses take, for the options dialog.
    QString upstreamProxyDescription();

    QString cacheFolder() const { return cacheFolder_; }
    qint64 cacheMaxBytes() const { return cacheMaxBytes_; }
    qint64 cacheSize();
    void clearCache();
    bool isOffline() const { return offline_.load(); }

signals:
    void offlineChanged(bool offline);

private:
    template <typename Work> void runOnLayerThread(Work&& work);

    QString cacheFolder_;
    qint64 cacheMaxBytes_;
    DownloadLimits limits_;
    ProxyCredentials credentials_;
    std::atomic_bool offline_{false};
    QThread thread_;
    LayerWorker* worker_ = nullptr; // lives on thread_
    ProxyFront* front_ = nullptr;   // lives on thread_
    quint16 frontPort_ = 0;
    bool installedApplicationProxy_ = false;
    QNetworkProxy previousApplicationProxy_;
    quint64 nextDownloadId_ = 1;
    quint64 nextFetchId_ = 1;
};

} // namespace nubivista::platform
