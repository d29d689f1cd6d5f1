#include "feed/server/answers.h"

#include "feed/server/http_date.h"

#include <QCryptographicHash>

namespace nubivista::feed::server {

namespace {

QByteArray entityTag(const QByteArray& body, qint64 lastModified) {
    const QByteArray digest =
        QCryptographicHash::hash(body, QCryptographicHash::Md5).toHex().left(16);
    return "\"" + QByteArray::number(lastModified, 16) + "-" + digest + "\"";
}

} // namespace

Reply plainReply(int status, const QByteArray& text) {
    Reply reply;
    reply.status = status;
    reply.headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
    reply.body = text;
    return reply;
}

Reply errorReply(int status) {
    Reply reply;
    reply.status = status;
    reply.headers.emplace_back("Content-Type", "text/html; charset=utf-8");
    reply.body = "<html><head><title>" + QByteArray::number(status) + " " + reasonPhrase(status) +
                 "</title></head><body><h1>" + reasonPhrase(status) + "</h1></body></html>\n";
    return reply;
}

Reply errorReply(int status, const QString& reason, const QString& detail) {
    Reply reply = errorReply(status);
    reply.reason = detail.isEmpty() ? reason : reason + QStringLiteral(" (") + detail + u')';
    // A header carries Latin-1 on one line.
    QString line = reason.simplified();
    for (QChar& c : line)
        if (c.unicode() > 0xFF)
            c = u'?';
    reply.headers.emplace_back("X-Nubivista-Reason", line.toLatin1());
    reply.body =
        "<html><head><title>" + QByteArray::number(status) + " " + reasonPhrase(status) +
        "</title></head><body><h1>" + reasonPhrase(status) + "</h1><p>" +
        reason.toHtmlEscaped().toUtf8() + "</p>" +
        (detail.isEmpty() ? QByteArray() : "<p>" + detail.toHtmlEscaped().toUtf8() + "</p>") +
        "</body></html>\n";
    return reply;
}

Reply resourceReply(const RequestInfo& request, Reply reply, const QByteArray& contentType,
                    qint64 lastModified, int maxAge, qint64 nowSeconds) {
    const QByteArray tag = entityTag(reply.body, lastModified);
    reply.headers.emplace_back("Date", httpDate(nowSeconds));
    reply.headers.emplace_back("Server", "nubivista-feed");
    reply.headers.emplace_back("Last-Modified", httpDate(lastModified));
    reply.headers.emplace_back("ETag", tag);
    reply.headers.emplace_back("Cache-Control", "max-age=" + QByteArray::number(maxAge));
    reply.headers.emplace_back("Content-Type", contentType);

    const std::optional<qint64> since = parseHttpDate(request.ifModifiedSince);
    const bool tagMatches = !request.ifNoneMatch.isEmpty() && request.ifNoneMatch == tag;
    const bool notModified =
        request.ifNoneMatch.isEmpty() ? (since && lastModified <= *since) : tagMatches;
    if (notModified) {
        reply.status = 304;
        reply.body.clear();
        reply.sendBody = false;
    }
    if (request.method == "HEAD")
        reply.sendBody = false;
    return reply;
}

} // namespace nubivista::feed::server
