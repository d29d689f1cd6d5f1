#include "acquisition/platform/proxy_tunnel.h"

#include <QTimer>

namespace nubivista::platform {

void ProxyTunnel::open(QTcpSocket* pane, const QString& host, quint16 port,
                       const QNetworkProxy& upstreamProxy, int connectTimeoutMs) {
    // The HTTP server would read the tunnelled bytes as requests; from here
    // on the tunnel alone reads the pane's connection.
    QObject::disconnect(pane, &QIODevice::readyRead, nullptr, nullptr);
    auto* tunnel = new ProxyTunnel(pane, pane->parent());
    tunnel->connectUpstream(host, port, upstreamProxy, connectTimeoutMs);
}

ProxyTunnel::ProxyTunnel(QTcpSocket* pane, QObject* parent) : QObject(parent), pane_(pane) {
    connect(pane, &QAbstractSocket::disconnected, this, &ProxyTunnel::close);
    connect(pane, &QObject::destroyed, this, &ProxyTunnel::close);
    connect(pane, &QIODevice::readyRead, this, [this] {
        if (established_ && pane_)
            upstream_.write(pane_->readAll());
    });
    connect(&upstream_, &QIODevice::readyRead, this, [this] {
        if (pane_)
            pane_->write(upstream_.readAll());
    });
    connect(&upstream_, &QAbstractSocket::connected, this, &ProxyTunnel::onUpstreamConnected);
    connect(&upstream_, &QAbstractSocket::errorOccurred, this, &ProxyTunnel::onUpstreamFailed);
}

void ProxyTunnel::connectUpstream(const QString& host, quint16 port, const QNetworkProxy& proxy,
                                  int connectTimeoutMs) {
    upstream_.setProxy(proxy);
    upstream_.connectToHost(host, port);
    QTimer::singleShot(connectTimeoutMs, this, [this] {
        if (!established_)
            onUpstreamFailed();
    });
}

void ProxyTunnel::onUpstreamConnected() {
    if (!pane_) {
        close();
        return;
    }
    established_ = true;
    pane_->write("HTTP/1.1 200 Connection established\r\n\r\n");
    if (pane_->bytesAvailable() > 0)
        upstream_.write(pane_->readAll());
}

void ProxyTunnel::onUpstreamFailed() {
    if (!established_ && pane_ && !closed_) {
        // The pane sees the same status as for any address it cannot reach.
        pane_->write("HTTP/1.1 504 Gateway Timeout\r\nContent-Length: 0\r\n"
                     "Connection: close\r\n\r\n");
    }
    close();
}

void ProxyTunnel::close() {
    if (closed_)
        return;
    closed_ = true;
    if (pane_ && upstream_.bytesAvailable() > 0)
        pane_->write(upstream_.readAll());
    upstream_.abort();
    if (pane_) {
        pane_->flush();
        pane_->disconnectFromHost();
    }
    deleteLater();
}

} // namespace nubivista::platform
