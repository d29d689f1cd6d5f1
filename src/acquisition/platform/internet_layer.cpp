#include "acquisition/platform/internet_layer.h"

#include "acquisition/platform/internet_options_dialog.h"
#include "acquisition/platform/layer_worker.h"
#include "acquisition/platform/proxy_front.h"

#include <QDir>
#include <QEventLoop>
#include <QNetworkInformation>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace nubivista::platform {

namespace {

// Extra time the UI thread grants the layer beyond the download's own limit,
// before it gives up waiting (the layer thread is then stuck).
constexpr int WaitMarginMs = 5'000;

QString defaultCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/internet");
}

} // namespace

InternetLayer::InternetLayer(const InternetLayerOptions& options, QObject* parent)
    : QObject(parent),
      cacheFolder_(options.cacheFolder.isEmpty() ? defaultCacheFolder() : options.cacheFolder),
      cacheMaxBytes_(options.cacheMaxBytes),
      limits_(options.downloadLimits),
      credentials_(ProxyCredentials::random()) {
    QDir().mkpath(cacheFolder_);
    thread_.setObjectName(QStringLiteral("InternetLayer"));
    worker_ = new LayerWorker(cacheFolder_, cacheMaxBytes_, offline_);
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();

    const std::optional<QNetworkProxy> upstream = options.upstreamProxy;
    const std::optional<QNetworkProxy> feed = options.feedProxy;
    const int paneFetchTimeoutMs = options.paneFetchTimeoutMs;
    const QByteArray pictureSource = options.pictureSource.trimmed().toLower();
    runOnLayerThread([this, upstream, feed, paneFetchTimeoutMs, pictureSource] {
        worker_->setUp();
        worker_->setPictureSource(pictureSource);
        worker_->setUpstreamProxy(upstream);
        worker_->setFeedProxy(feed);
        front_ = new ProxyFront(*worker_, credentials_, worker_);
        front_->setUpstreamTimeout(paneFetchTimeoutMs);
        frontPort_ = front_->start();
        worker_->setFrontPort(frontPort_);
    });
    if (frontPort_ == 0)
        qWarning("Internet layer: the proxy front for the browser panes could not listen");

    QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);

    if (options.installApplicationProxy && frontPort_ != 0) {
        previousApplicationProxy_ = QNetworkProxy::applicationProxy();
        QNetworkProxy::setApplicationProxy(paneProxy());
        installedApplicationProxy_ = true;
    }
}

InternetLayer::~InternetLayer() {
    if (installedApplicationProxy_ && QNetworkProxy::applicationProxy() == paneProxy())
        QNetworkProxy::setApplicationProxy(previousApplicationProxy_);
    thread_.quit(); // the worker, with the front and the network objects, goes with it
    thread_.wait();
}

template <typename Work> void InternetLayer::runOnLayerThread(Work&& work) {
    if (QThread::currentThread() == &thread_)
        work();
    else
        QMetaObject::invokeMethod(worker_, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}

QNetworkProxy InternetLayer::paneProxy() const {
    return QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), frontPort_);
}

ConnectionState InternetLayer::connectionState() {
    const QNetworkInformation* info = QNetworkInformation::instance();
    const auto reachability =
        info ? info->reachability() : QNetworkInformation::Reachability::Unknown;
    return connectionStateFrom(reachability, pppLinkIsUp(), offline_.load());
}

void InternetLayer::dial() {
    // Linux offers no dialler to programs; links come up through the system's
    // own network manager. The caller reads the state again, as it always does.
}

bool InternetLayer::goOnline() {
    if (offline_.exchange(false))
        emit offlineChanged(false);
    return true;
}

bool InternetLayer::goOffline() {
    if (!offline_.exchange(true))
        emit offlineChanged(true);
    return true;
}

std::optional<CacheEntry> InternetLayer::cacheEntry(const QUrl& address) {
    std::optional<CacheEntry> entry;
    runOnLayerThread([&] { entry = worker_->cacheEntry(address); });
    return entry;
}

DownloadResult InternetLayer::downloadToFile(const QUrl& address, const QString& path) {
    // The work runs on the layer's thread; the UI thread waits in a local event
    // loop, so windows keep painting and timers keep running, while user input
    // waits until the download is done (no click can start a second action).
    const quint64 id = nextDownloadId_++;
    const DownloadLimits limits = limits_;
    std::optional<DownloadResult> result;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(worker_, &LayerWorker::downloadFinished, &loop,
            [&loop, &result, id](quint64 finishedId, bool ok, const QString& error,
                                 const QString& refusedSource) {
                if (finishedId != id)
                    return;
                result = DownloadResult{ok, error, refusedSource};
                loop.quit();
            });
    QMetaObject::invokeMethod(worker_, [this, id, address, path, limits] {
        worker_->startDownload(id, address, path, limits);
    });
    guard.start(limits.timeoutMs + WaitMarginMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!result) {
        QMetaObject::invokeMethod(worker_, [this, id] { worker_->abortDownload(id); });
        return {false, tr("Timed out")};
    }
    return *result;
}

void InternetLayer::fetchFresh(const QUrl& address, int timeoutMs, QObject* receiver,
                               FetchDone done) {
    if (!receiver)
        return;
    if (offline_.load()) {
        QMetaObject::invokeMethod(
            receiver, [done = std::move(done)] { done(std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    // The answer crosses to the receiver's thread; the connection ends with
    // it, or with the receiver.
    const quint64 id = nextFetchId_++;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(worker_, &LayerWorker::fetchFinished, receiver,
                          [id, connection, done = std::move(done)](quint64 finishedId, bool ok,
                                                                   const QByteArray& body) {
                              if (finishedId != id)
                                  return;
                              QObject::disconnect(*connection);
                              done(ok ? std::optional(body) : std::nullopt);
                          });
    QMetaObject::invokeMethod(
        worker_, [this, id, address, timeoutMs] { worker_->startFetch(id, address, timeoutMs); });
}

bool InternetLayer::showOptionsDialog(QWidget* parent) {
    auto* dialog = new InternetOptionsDialog(*this, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

void InternetLayer::setUpstreamProxy(const std::optional<QNetworkProxy>& proxy) {
    runOnLayerThread([&] { worker_->setUpstreamProxy(proxy); });
}

void InternetLayer::setFeedProxy(const std::optional<QNetworkProxy>& proxy) {
    runOnLayerThread([&] { worker_->setFeedProxy(proxy); });
}

void InternetLayer::setFeedDown() {
    runOnLayerThread([&] { worker_->setFeedDown(); });
}

QString InternetLayer::upstreamProxyDescription() {
    QString text;
    runOnLayerThread([&] {
        text = worker_->upstreamProxyDescription(QUrl(QStringLiteral("http://www.weather.gov/")));
    });
    return text;
}

qint64 InternetLayer::cacheSize() {
    qint64 size = 0;
    runOnLayerThread([&] { size = worker_->cacheSize(); });
    return size;
}

void InternetLayer::clearCache() {
    runOnLayerThread([&] { worker_->clearCache(); });
}

QString InternetLayer::feedReason(const QUrl& address) {
    return worker_->feedReason(address);
}

} // namespace nubivista::platform
