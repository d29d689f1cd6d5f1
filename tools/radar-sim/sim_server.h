#pragma once

#include "sim_service.h"

#include <QAbstractHttpServer>
#include <QPointer>
#include <QTcpSocket>
#include <vector>

namespace radarsim {

// The HTTP front of the simulator: Qt HTTP Server parses the requests (origin and
// absolute form alike), SimService decides the answer, and this class puts it on
// the socket, including the faults that misbehave on the wire.
class SimServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    SimServer(QDateTime startUtc, double speed, int frameIntervalSeconds,
              QObject* parent = nullptr);

    // Binds 127.0.0.1 only; 0 picks a free port. Returns the port, or 0 on failure.
    quint16 listenOnLoopback(quint16 port);

    SimService& service() { return m_service; }

    // Writes one line per request to stderr: method, host, path and status.
    void setRequestLog(bool on) { m_log = on; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void deliver(const Reply& reply, QTcpSocket* socket);
    void releaseHeldConnections();

    SimService m_service;
    std::vector<QPointer<QTcpSocket>> m_held;
    bool m_log = false;
};

} // namespace radarsim
