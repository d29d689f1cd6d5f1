#include "feed/server/feed_server.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QTimer>
#include <cstdio>

namespace nubivista::feed::server {

namespace {

QByteArray headerValue(const QHttpServerRequest& request, const QByteArray& name) {
    const auto headers = request.headers();
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return {};
}

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Connect:
        return "CONNECT";
    default:
        return "OTHER";
    }
}

RequestInfo requestInfo(const QHttpServerRequest& request) {
    // An absolute-form target ("GET http://weather.noaa.gov/radar/...") arrives with
    // its host in the URL and in the Host header; only the path matters here, since
    // every host is answered alike.
    RequestInfo info;
    info.method = methodName(request.method());
    // The Host header names the host in both forms; the port, if any, is cut off.
    info.host =
        QString::fromLatin1(headerValue(request, "Host")).section(QLatin1Char(':'), 0, 0).toLower();
    info.path = request.url().path();
    info.query = request.query();
    info.ifModifiedSince = headerValue(request, "If-Modified-Since");
    info.ifNoneMatch = headerValue(request, "If-None-Match");
    info.closeAfterReply = headerValue(request, "Connection").toLower().contains("close");
    return info;
}

} // namespace

FeedServer::FeedServer(RequestHandler& handler, QObject* parent)
    : QAbstractHttpServer(parent), m_handler(handler) {}

quint16 FeedServer::listenOnLoopback(quint16 port) {
    return listen(QHostAddress::LocalHost, port);
}

bool FeedServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const RequestInfo info = requestInfo(request);
    // The handler may answer later; the socket may be gone by then.
    m_handler.handle(info, [this, info, guarded = QPointer<QTcpSocket>(socket),
                            alive = QPointer<FeedServer>(this)](const Reply& reply) {
        if (alive)
            respond(info, reply, guarded);
    });
    return true;
}

void FeedServer::respond(const RequestInfo& info, const Reply& reply,
                         const QPointer<QTcpSocket>& socket) {
    if (m_log)
        std::fprintf(stderr, "%s %s %s -> %d%s%s\n", info.method.constData(), qPrintable(info.host),
                     qPrintable(info.path), reply.delivery == Delivery::Normal ? reply.status : 0,
                     reply.reason.isEmpty() ? "" : ": ", qPrintable(reply.reason));
    if (reply.releaseHeldConnections)
        releaseHeldConnections();
    if (!socket)
        return;
    if (reply.delayMs > 0 && reply.delivery != Delivery::Hang &&
        reply.delivery != Delivery::Close) {
        QTimer::singleShot(reply.delayMs, this, [this, reply, socket] {
            if (socket)
                deliver(reply, socket);
        });
        return;
    }
    deliver(reply, socket);
}

void FeedServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    Q_UNUSED(request);
    Reply reply;
    reply.status = 404;
    deliver(reply, socket);
}

void FeedServer::deliver(const Reply& reply, QTcpSocket* socket) {
    switch (reply.delivery) {
    case Delivery::Close:
        socket->abort();
        return;
    case Delivery::Hang:
        m_held.emplace_back(socket);
        return;
    case Delivery::Truncate:
    case Delivery::NoLength:
        socket->write(wireBytes(reply));
        socket->disconnectFromHost(); // after the pending bytes are written
        return;
    case Delivery::Normal:
        socket->write(wireBytes(reply));
        if (reply.closeAfterReply) {
            socket->disconnectFromHost();
        }
        return;
    }
}

void FeedServer::releaseHeldConnections() {
    for (const QPointer<QTcpSocket>& socket : m_held) {
        if (socket) {
            socket->abort();
        }
    }
    m_held.clear();
}

} // namespace nubivista::feed::server
