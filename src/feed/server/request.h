#pragma once
// A request to the feed and its reply, as the HTTP front and the sources
// exchange them, and the interface of whatever answers requests.
#include "net/reason_phrase.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>
#include <functional>
#include <utility>
#include <vector>

namespace nubivista::feed::server {

// What the feed needs to know of a request.
struct RequestInfo {
    QByteArray method = "GET"; // GET and HEAD are served
    QString host;              // "weather.noaa.gov": the Host header, lower case, no port
    QString path;              // "/radar/national.html", without query
    QUrlQuery query;
    QByteArray ifModifiedSince;
    QByteArray ifNoneMatch;
    bool closeAfterReply = false; // the client sent "Connection: close"
};

// How the reply is to be put on the wire.
enum class Delivery {
    Normal,
    Truncate, // full Content-Length, half the body, then close
    Hang,     // send nothing and hold the connection
    Close,    // drop the connection at once
    NoLength, // the whole body without Content-Length, then close
};

struct Reply {
    int status = 200;
    std::vector<std::pair<QByteArray, QByteArray>> headers; // Content-Length is added on the wire
    QByteArray body;
    bool sendBody = true; // false for HEAD and 304: Content-Length still tells the size
    Delivery delivery = Delivery::Normal;
    int delayMs = 0;
    bool releaseHeldConnections = false; // the faults were cleared
    bool closeAfterReply = false;
    QString reason; // an error's cause in one sentence, for the request log
};

// Serialises a reply: status line, headers, Content-Length, blank line and as
// much of the body as the delivery sends.
QByteArray wireBytes(const Reply& reply);
using net::reasonPhrase;

// Called once with the reply, at once or later on the same thread.
using Responder = std::function<void(const Reply&)>;

class RequestHandler {
public:
    virtual ~RequestHandler() = default;
    virtual void handle(const RequestInfo& request, Responder respond) = 0;
};

} // namespace nubivista::feed::server
