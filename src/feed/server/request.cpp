#include "feed/server/request.h"

namespace nubivista::feed::server {

QByteArray wireBytes(const Reply& reply) {
    QByteArray wire =
        "HTTP/1.1 " + QByteArray::number(reply.status) + " " + reasonPhrase(reply.status) + "\r\n";
    for (const auto& [name, value] : reply.headers) {
        wire += name + ": " + value + "\r\n";
    }
    if (reply.delivery == Delivery::NoLength) {
        wire += "Connection: close\r\n";
    } else if (reply.status != 304) {
        wire += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    }
    wire += "\r\n";
    if (reply.sendBody) {
        wire += reply.delivery == Delivery::Truncate ? reply.body.left(reply.body.size() / 2)
                                                     : reply.body;
    }
    return wire;
}

} // namespace nubivista::feed::server
