#include "acquisition/platform/upstream_proxy.h"

#include <QMutexLocker>

namespace nubivista::platform {

QList<QNetworkProxy> UpstreamProxyFactory::queryProxy(const QNetworkProxyQuery& query) {
    {
        QMutexLocker lock(&mutex_);
        if (explicit_)
            return {*explicit_};
    }
    QList<QNetworkProxy> proxies = systemProxyForQuery(query);
    // The system answer may name the application proxy (the front) when both
    // are configured the same way; that would be a loop, so it goes direct.
    const QNetworkProxy front = QNetworkProxy::applicationProxy();
    proxies.removeIf([&front](const QNetworkProxy& p) {
        return front.type() == QNetworkProxy::HttpProxy && p.hostName() == front.hostName() &&
               p.port() == front.port();
    });
    if (proxies.isEmpty())
        proxies.append(QNetworkProxy(QNetworkProxy::NoProxy));
    return proxies;
}

void UpstreamProxyFactory::setExplicitProxy(const std::optional<QNetworkProxy>& proxy) {
    QMutexLocker lock(&mutex_);
    explicit_ = proxy;
}

} // namespace nubivista::platform
