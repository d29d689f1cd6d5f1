#pragma once
// A CONNECT tunnel of the proxy front: the pane's connection, taken over from
// the HTTP server once the CONNECT has been accepted, joined byte for byte to
// a connection to the requested host (through the layer's own upstream proxy
// when it has one). Tunnelled traffic is encrypted end to end, so it cannot
// pass the layer's cache; the front opens tunnels only while online.
#include <QByteArray>
#include <QNetworkProxy>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>

namespace nubivista::platform {

class ProxyTunnel : public QObject {
    Q_OBJECT
public:
    // Takes the pane's socket over; deletes itself when either side closes.
    static void open(QTcpSocket* pane, const QString& host, quint16 port,
                     const QNetworkProxy& upstreamProxy, int connectTimeoutMs);

private:
    ProxyTunnel(QTcpSocket* pane, QObject* parent);
    void connectUpstream(const QString& host, quint16 port, const QNetworkProxy& proxy,
                         int connectTimeoutMs);
    void onUpstreamConnected();
    void onUpstreamFailed();
    void close();

    QPointer<QTcpSocket> pane_;
    QTcpSocket upstream_;
    bool established_ = false;
    bool closed_ = false;
};

} // namespace nubivista::platform
