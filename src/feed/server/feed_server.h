#pragma once
// The feed's HTTP front: Qt HTTP Server parses the requests (origin and
// absolute form alike), a handler decides the answer, at once or later, and
// this class puts it on the socket, including answers that misbehave on the
// wire on purpose.
#include "feed/server/request.h"

#include <QAbstractHttpServer>
#include <QPointer>
#include <QTcpSocket>
#include <vector>

namespace nubivista::feed::server {

class FeedServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit FeedServer(RequestHandler& handler, QObject* parent = nullptr);

    // Binds 127.0.0.1 only; 0 picks a free port. Returns the port, or 0 on failure.
    quint16 listenOnLoopback(quint16 port);

    // Writes one line per request to stderr: method, host, path and status.
    void setRequestLog(bool on) { m_log = on; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void respond(const RequestInfo& info, const Reply& reply, const QPointer<QTcpSocket>& socket);
    void deliver(const Reply& reply, QTcpSocket* socket);
    void releaseHeldConnections();

    RequestHandler& m_handler;
    std::vector<QPointer<QTcpSocket>> m_held;
    bool m_log = false;
};

} // namespace nubivista::feed::server
