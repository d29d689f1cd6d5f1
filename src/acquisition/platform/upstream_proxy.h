#pragma once
// The proxy the layer's own traffic takes. It is the system configuration
// (on Linux the http_proxy variables) or one set explicitly, and never the
// application proxy: that one is the layer's own front for the panes, and the
// layer going through it would loop back into itself. The radar servers'
// addresses go to the feed instead, once its address is known.
#include <QMutex>
#include <QNetworkProxyFactory>
#include <optional>

namespace nubivista::platform {

class UpstreamProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override;

    void setExplicitProxy(const std::optional<QNetworkProxy>& proxy);

    // The feed that answers the radar servers' addresses; nothing: those go
    // the way of every other address.
    void setFeedProxy(const std::optional<QNetworkProxy>& proxy);
    // The feed is not running: its addresses go nowhere (they never leave the
    // machine) and fail as the feed's fault, until setFeedProxy.
    void setFeedDown();
    // True when address is the feed's and the feed is down.
    bool feedDownFor(const QUrl& address);

    // The port the layer's own front listens on at 127.0.0.1; a system proxy
    // naming it would loop back into the layer.
    void setFrontPort(quint16 port);

private:
    QMutex mutex_;
    std::optional<QNetworkProxy> explicit_;
    std::optional<QNetworkProxy> feed_;
    bool feedDown_ = false;
    quint16 frontPort_ = 0;
};

} // namespace nubivista::platform
