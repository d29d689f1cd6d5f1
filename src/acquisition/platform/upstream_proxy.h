#pragma once
// The proxy the layer's own traffic takes. It is the system configuration
// (on Linux the http_proxy variables) or one set explicitly, and never the
// application proxy: that one is the layer's own front for the panes, and the
// layer going through it would loop back into itself.
#include <QMutex>
#include <QNetworkProxyFactory>
#include <optional>

namespace nubivista::platform {

class UpstreamProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override;

    void setExplicitProxy(const std::optional<QNetworkProxy>& proxy);

private:
    QMutex mutex_;
    std::optional<QNetworkProxy> explicit_;
};

} // namespace nubivista::platform
