#include "feed/server/feed_server.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QTimer>
#include <cstdio>
#include <memory>

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

net::ConnectionLimits FeedServer::limits() {
    net::ConnectionLimits limits;
    limits.maxHeadBytes = 16 * 1024;
    limits.maxBodyBytes = 0;
    limits.idleMs = 30'000;
    limits.maxConnections = 256;
    limits.tracksAnswers = true;
    return limits;
}

quint16 FeedServer::listenOnLoopback(quint16 port, const net::ConnectionLimits& within) {
    auto guard = std::make_unique<net::GuardedTcpServer>(within);
    if (!guard->listen(QHostAddress::LocalHost, port))
        return 0;
    m_guard = guard.get();
    m_guard->setRefusalLog([this](const net::Refusal& refusal) {
        if (m_log)
            std::fprintf(stderr, "refused -> %d: %s\n", refusal.status, refusal.text.constData());
    });
    bind(guard.release()); // the HTTP server owns it from here
    return m_guard->serverPort();
}

bool FeedServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const RequestInfo info = requestInfo(request);
    const auto [found, added] = m_pipelines.try_emplace(socket);
    if (added)
        connect(socket, &QObject::destroyed, this, [this, socket] { m_pipelines.erase(socket); });
    const quint64 number = found->second.nextRequest++;
    // The handler may answer later; the socket may be gone by then.
    m_handler.handle(info, [this, info, number, guarded = QPointer<QTcpSocket>(socket),
                            alive = QPointer<FeedServer>(this)](const Reply& reply) {
        if (alive)
            respond(info, reply, guarded, number);
    });
    return true;
}

void FeedServer::respond(const RequestInfo& info, const Reply& reply,
                         const QPointer<QTcpSocket>& socket, quint64 number) {
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
        QTimer::singleShot(reply.delayMs, this, [this, reply, socket, number] {
            if (socket)
                ready(reply, socket, number);
        });
        return;
    }
    ready(reply, socket, number);
}

void FeedServer::ready(const Reply& reply, QTcpSocket* socket, quint64 number) {
    const auto found = m_pipelines.find(socket);
    if (found == m_pipelines.end()) {
        deliver(reply, socket);
        return;
    }
    Pipeline& pipeline = found->second;
    pipeline.ready.emplace(number, reply);
    // An answer may close the connection; the rest then go nowhere. The
    // socket itself is deleted later, and its pipeline with it.
    while (!pipeline.ready.empty() && pipeline.ready.begin()->first == pipeline.nextAnswer &&
           socket->state() == QAbstractSocket::ConnectedState) {
        const Reply next = std::move(pipeline.ready.begin()->second);
        pipeline.ready.erase(pipeline.ready.begin());
        ++pipeline.nextAnswer;
        if (m_guard)
            m_guard->requestAnswered(socket);
        deliver(next, socket);
    }
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
