#pragma once
// The feed's HTTP front: Qt HTTP Server parses the requests (origin and
// absolute form alike), a handler decides the answer, at once or later, and
// this class puts it on the socket, including answers that misbehave on the
// wire on purpose. Answers on one connection go out in the order of its
// requests, and a guard holds every connection to the feed's limits.
#include "feed/server/request.h"
#include "net/guarded_tcp_server.h"

#include <QAbstractHttpServer>
#include <QPointer>
#include <QTcpSocket>
#include <map>
#include <vector>

namespace nubivista::feed::server {

class FeedServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit FeedServer(RequestHandler& handler, QObject* parent = nullptr);

    // Binds 127.0.0.1 only; 0 picks a free port. Returns the port, or 0 on failure.
    quint16 listenOnLoopback(quint16 port, const net::ConnectionLimits& within = limits());

    // Writes one line per request to stderr: method, host, path and status.
    void setRequestLog(bool on) { m_log = on; }

    // What one request may be, and how many may be open: the program's
    // requests are GETs of a few hundred bytes; the feed takes no bodies.
    static net::ConnectionLimits limits();

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    // A connection's answers: numbered as its requests come, written in that order.
    struct Pipeline {
        quint64 nextRequest = 0;
        quint64 nextAnswer = 0;
        std::map<quint64, Reply> ready;
    };

    void respond(const RequestInfo& info, const Reply& reply, const QPointer<QTcpSocket>& socket,
                 quint64 number);
    // The answer is ready to go once those before it are out.
    void ready(const Reply& reply, QTcpSocket* socket, quint64 number);
    void deliver(const Reply& reply, QTcpSocket* socket);
    void releaseHeldConnections();

    RequestHandler& m_handler;
    net::GuardedTcpServer* m_guard = nullptr; // owned by the HTTP server once bound
    std::map<QTcpSocket*, Pipeline> m_pipelines;
    std::vector<QPointer<QTcpSocket>> m_held;
    bool m_log = false;
};

} // namespace nubivista::feed::server
