#include "acquisition/platform/upstream_proxy.h"

#include "radar/addresses.h"

#include <QMutexLocker>

namespace nubivista::platform {

QList<QNetworkProxy> UpstreamProxyFactory::queryProxy(const QNetworkProxyQuery& query) {
    quint16 frontPort = 0;
    {
        QMutexLocker lock(&mutex_);
        if (feed_ && radar::IsFeedAddress(query.url()))
            return {*feed_};
        if (explicit_)
            return {*explicit_};
        frontPort = frontPort_;
    }
    QList<QNetworkProxy> proxies = systemProxyForQuery(query);
    // The system answer may name the layer's own front (when the panes' proxy
    // is configured system-wide); going through it would be a loop, so it goes
    // direct. The front is known by its port, not by the application proxy:
    // with the front not installed, that is the system proxy itself.
    proxies.removeIf([frontPort](const QNetworkProxy& p) {
        const bool loopback =
            p.hostName() == QLatin1String("127.0.0.1") ||
            p.hostName().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
        return frontPort != 0 && p.type() == QNetworkProxy::HttpProxy && loopback &&
               p.port() == frontPort;
    });
    if (proxies.isEmpty())
        proxies.append(QNetworkProxy(QNetworkProxy::NoProxy));
    return proxies;
}

void UpstreamProxyFactory::setExplicitProxy(const std::optional<QNetworkProxy>& proxy) {
    QMutexLocker lock(&mutex_);
    explicit_ = proxy;
}

void UpstreamProxyFactory::setFeedProxy(const std::optional<QNetworkProxy>& proxy) {
    QMutexLocker lock(&mutex_);
    feed_ = proxy;
    feedDown_ = false;
}

void UpstreamProxyFactory::setFeedDown() {
    QMutexLocker lock(&mutex_);
    // Port 0 cannot be connected to: the request fails at once.
    feed_ = QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 0);
    feedDown_ = true;
}

bool UpstreamProxyFactory::feedDownFor(const QUrl& address) {
    QMutexLocker lock(&mutex_);
    return feedDown_ && radar::IsFeedAddress(address);
}

void UpstreamProxyFactory::setFrontPort(quint16 port) {
    QMutexLocker lock(&mutex_);
    frontPort_ = port;
}

} // namespace nubivista::platform
