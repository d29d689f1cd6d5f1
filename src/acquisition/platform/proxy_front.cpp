#include "acquisition/platform/proxy_front.h"

#include "acquisition/platform/layer_worker.h"
#include "acquisition/platform/proxy_rules.h"
#include "acquisition/platform/proxy_tunnel.h"

#include <QHttpServerResponder>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <optional>

namespace nubivista::platform {

// A pane's request waiting for its answer.
struct PendingAnswer {
    QHttpServerResponder responder;
    QPointer<QTcpSocket> socket;
    bool head = false;
};

namespace {

// How often a request for a feed that is restarting looks again.
constexpr int kFeedCheckMs = 200;

using StatusCode = QHttpServerResponder::StatusCode;

constexpr qint64 MaxAnswerBytes = 64LL * 1024 * 1024;

// A responder waiting for the server's answer, and the socket it writes to;
// the pane may hang up meanwhile, and then nothing is written.

// A HEAD answer has no body but tells the length of the body a GET would get.
void writeAnswer(QHttpServerResponder& responder, int status, const HeaderPairs& headers,
                 const QByteArray& body, std::optional<qint64> headLength = std::nullopt) {
    responder.writeStatusLine(static_cast<StatusCode>(status));
    for (const auto& [name, value] : headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(headLength.value_or(body.size())));
    responder.writeBody(headLength ? QByteArray() : body);
}

void writeFrontAnswer(QHttpServerResponder& responder, int status, const QByteArray& text,
                      HeaderPairs headers = {}) {
    headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain; charset=utf-8")));
    headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("no-store")));
    writeAnswer(responder, status, headers, text + '\n');
}

bool isLoopback(const QString& host) {
    return host == QLatin1String("127.0.0.1") || host == QLatin1String("localhost") ||
           host == QLatin1String("::1");
}

} // namespace

ProxyFront::ProxyFront(LayerWorker& worker, const ProxyCredentials& credentials, QObject* parent)
    : QAbstractHttpServer(parent), worker_(worker), credentials_(credentials) {}

net::ConnectionLimits ProxyFront::limits() {
    net::ConnectionLimits limits;
    limits.maxHeadBytes = 32 * 1024; // a browser's request, with its cookies
    limits.maxBodyBytes = 1 << 20;   // a form a weather page posts
    // Longer than the wait for a server, since answers are not tracked.
    limits.idleMs = 90'000;
    limits.maxConnections = 256;
    return limits;
}

quint16 ProxyFront::start() {
    auto guard = std::make_unique<net::GuardedTcpServer>(limits());
    // No body is read before the run's credentials are seen.
    guard->setHeadCheck(
        [credentials = credentials_](const net::RequestHead& head) -> std::optional<net::Refusal> {
            if (credentials.accepts(head.value("Proxy-Authorization")) ||
                head.value("Content-Length").toLongLong() <= 0)
                return std::nullopt;
            return net::Refusal{407,
                                "Proxy authentication required",
                                {{"Proxy-Authenticate", "Basic realm=\"Nubivista\""}}};
        });
    if (!guard->listen(QHostAddress::LocalHost, 0))
        return 0;
    port_ = guard->serverPort();
    bind(guard.release()); // the HTTP server owns it from here
    return port_;
}

bool ProxyFront::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (!credentials_.accepts(request.value("Proxy-Authorization"))) {
        QHttpServerResponder responder = makeResponder(request, socket);
        writeFrontAnswer(responder, 407, "Proxy authentication required",
                         {{"Proxy-Authenticate", "Basic realm=\"Nubivista\""}});
        return true;
    }
    if (request.method() == QHttpServerRequest::Method::Connect) {
        openTunnel(request, socket);
        return true;
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    const std::optional<QUrl> target = proxyTargetAddress(request.url(), request.value("Host"));
    if (!target || (target->scheme() != QLatin1String("http"))) {
        writeFrontAnswer(responder, 400, "Not a proxy request for an http address");
        return true;
    }
    if (isLoopback(target->host()) && target->port(80) == port_) {
        writeFrontAnswer(responder, 508, "The proxy was asked to fetch from itself");
        return true;
    }
    forward(request, socket, std::move(responder), *target);
    return true;
}

void ProxyFront::openTunnel(const QHttpServerRequest& request, QTcpSocket* socket) {
    // A CONNECT names "host:port"; the server leaves url() empty, the
    // authority is in the Host header.
    const QUrl authority(QStringLiteral("//") +
                         QString::fromLatin1(request.value("Host").trimmed()));
    const QString host = authority.host();
    const int port = authority.port(443);
    auto refuse = [&](int status, const QByteArray& text) {
        QHttpServerResponder responder = makeResponder(request, socket);
        writeFrontAnswer(responder, status, text);
    };
    if (host.isEmpty() || port <= 0) {
        refuse(400, "CONNECT needs a host and a port");
        return;
    }
    if (isLoopback(host) && port == port_) {
        refuse(508, "The proxy was asked to tunnel to itself");
        return;
    }
    if (worker_.offline()) {
        refuse(FrontUnreachableStatus, "Working offline");
        return;
    }
    ProxyTunnel::open(socket, host, static_cast<quint16>(port),
                      worker_.tunnelProxyFor(host, static_cast<quint16>(port)), upstreamTimeoutMs_);
}

void ProxyFront::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    writeFrontAnswer(responder, 400, "Bad request");
}

void ProxyFront::forward(const QHttpServerRequest& request, QTcpSocket* socket,
                         QHttpServerResponder&& responder, const QUrl& target) {
    const auto method = request.method();
    const bool cached =
        method == QHttpServerRequest::Method::Get || method == QHttpServerRequest::Method::Head;
    const HeaderPairs paneHeaders = request.headers();

    QNetworkRequest upstream(target);
    for (const auto& [name, value] : upstreamRequestHeaders(paneHeaders))
        upstream.setRawHeader(name, value);
    askForPlainBody(upstream);
    // The pane follows redirects itself, so its address bar shows where it is.
    upstream.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          QNetworkRequest::ManualRedirectPolicy);
    upstream.setTransferTimeout(upstreamTimeoutMs_);
    const bool offline = worker_.offline();
    if (cached) {
        upstream.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                              paneCacheLoadControl(paneHeaders, offline));
    } else {
        upstream.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                              QNetworkRequest::AlwaysNetwork);
        upstream.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    }

    auto pending = std::make_shared<PendingAnswer>(
        PendingAnswer{std::move(responder), QPointer<QTcpSocket>(socket),
                      method == QHttpServerRequest::Method::Head});

    if (!cached && offline) {
        writeFrontAnswer(pending->responder, FrontUnreachableStatus, "Working offline");
        return;
    }

    QByteArray verb;
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head)
        verb = QByteArray(QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(
                              static_cast<int>(method)))
                   .toUpper();
    OutgoingRequest outgoing{std::move(upstream), std::move(verb), request.body(), offline};
    if (!offline && worker_.feedDownFor(target)) {
        // The feed restarts within seconds: the pane waits for it as for a
        // slow server, and fails as a slow server does.
        waitForFeed(std::move(outgoing), pending, socket, upstreamTimeoutMs_);
        return;
    }
    send(outgoing, pending, socket);
}

void ProxyFront::waitForFeed(OutgoingRequest outgoing, std::shared_ptr<PendingAnswer> pending,
                             QTcpSocket* socket, int remainingMs) {
    QTimer::singleShot(kFeedCheckMs, this,
                       [this, outgoing = std::move(outgoing), pending,
                        socket = QPointer<QTcpSocket>(socket), remainingMs] {
                           if (!pending->socket || !socket)
                               return;
                           if (!worker_.feedDownFor(outgoing.request.url())) {
                               send(outgoing, pending, socket);
                               return;
                           }
                           if (remainingMs <= kFeedCheckMs) {
                               writeFrontAnswer(pending->responder, FrontUpstreamFailedStatus,
                                                "The radar feed is not running");
                               return;
                           }
                           waitForFeed(outgoing, pending, socket, remainingMs - kFeedCheckMs);
                       });
}

void ProxyFront::send(const OutgoingRequest& outgoing,
                      const std::shared_ptr<PendingAnswer>& pending, QTcpSocket* socket) {
    const bool offline = outgoing.offline;
    QNetworkAccessManager& network = worker_.network();
    QNetworkReply* reply = nullptr;
    if (outgoing.verb.isEmpty())
        reply = pending->head ? network.head(outgoing.request) : network.get(outgoing.request);
    else
        reply = network.sendCustomRequest(outgoing.request, outgoing.verb, outgoing.body);

    // The pane hanging up ends the upstream fetch too.
    QObject::connect(socket, &QObject::destroyed, reply, &QNetworkReply::abort);
    // Answers are held whole before they go to the pane, so their size is bounded.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received) {
        if (received > MaxAnswerBytes)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, this, [this, reply, pending, offline] {
        reply->deleteLater();
        if (!pending->socket)
            return;
        const QByteArray body = reply->readAll();
        worker_.noteFeedAnswer(reply->url(), reply->rawHeader("X-Nubivista-Reason"));
        UpstreamOutcome outcome;
        outcome.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        outcome.error = reply->error();
        outcome.offline = offline;
        outcome.feedDown = worker_.feedDownFor(reply->url());
        const int status = paneStatusFor(outcome);
        if (status != outcome.httpStatus) {
            writeFrontAnswer(pending->responder, status,
                             (status == FrontUnreachableStatus ? "Cannot reach or not cached: "
                                                               : "Upstream failed: ") +
                                 reply->errorString().toUtf8());
            return;
        }
        HeaderPairs headers;
        const auto raw = reply->rawHeaderPairs();
        for (const auto& header : raw)
            headers.append(header);
        std::optional<qint64> headLength;
        if (pending->head)
            headLength = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        writeAnswer(pending->responder, status, paneResponseHeaders(headers), body, headLength);
    });
}

} // namespace nubivista::platform
