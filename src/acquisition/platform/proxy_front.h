#pragma once
// The forward HTTP proxy that the browser panes use, served on 127.0.0.1 at a
// random port. Every request must carry the run's credentials; GET and HEAD
// are served through the layer's cache with HTTP semantics (so a page, its
// images and the lists its scripts load all land in the cache the program
// reads), other methods pass through uncached, and CONNECT opens a tunnel
// (online only). Lives on the layer's thread.
#include "acquisition/platform/proxy_credentials.h"
#include "net/guarded_tcp_server.h"

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkRequest>
#include <memory>

namespace nubivista::platform {

struct PendingAnswer;

class LayerWorker;

class ProxyFront : public QAbstractHttpServer {
    Q_OBJECT
public:
    ProxyFront(LayerWorker& worker, const ProxyCredentials& credentials, QObject* parent = nullptr);

    // Listens on 127.0.0.1 at a free port; 0 when that fails.
    quint16 start();
    quint16 port() const { return port_; }

    // What one pane request may be, and how many connections may be open.
    static net::ConnectionLimits limits();

    // Longest wait for the server of one pane request.
    void setUpstreamTimeout(int milliseconds) { upstreamTimeoutMs_ = milliseconds; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct OutgoingRequest {
        QNetworkRequest request;
        QByteArray verb; // empty for GET and HEAD
        QByteArray body;
        bool offline = false;
    };

    void openTunnel(const QHttpServerRequest& request, QTcpSocket* socket);
    void forward(const QHttpServerRequest& request, QTcpSocket* socket,
                 QHttpServerResponder&& responder, const QUrl& target);
    void waitForFeed(OutgoingRequest outgoing, std::shared_ptr<PendingAnswer> pending,
                     QTcpSocket* socket, int remainingMs);
    void send(const OutgoingRequest& outgoing, const std::shared_ptr<PendingAnswer>& pending,
              QTcpSocket* socket);

    LayerWorker& worker_;
    ProxyCredentials credentials_;
    quint16 port_ = 0;
    int upstreamTimeoutMs_ = 30'000;
};

} // namespace nubivista::platform
