#pragma once

#include "faults.h"
#include "sim_clock.h"

#include <QByteArray>
#include <QCache>
#include <QString>
#include <QUrlQuery>
#include <utility>
#include <vector>

namespace radarsim {

// What the simulator needs to know of a request.
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
};

// The simulated radar server without the network: routes, frames, headers and
// faults. The HTTP front (SimServer) only moves bytes.
class SimService {
public:
    SimService(QDateTime startUtc, double speed, int frameIntervalSeconds);

    Reply handle(const RequestInfo& request);

    SimClock& clock() { return m_clock; }
    const FaultSet& faults() const { return m_faults; }

    // The GIF of one frame (cached).
    QByteArray frameBytes(const QString& siteCode, const QString& productCode, qint64 frameIndex);

    // Serialises a reply: status line, headers, Content-Length, blank line and as much
    // of the body as the delivery sends.
    static QByteArray wireBytes(const Reply& reply);

private:
    Reply answer(const RequestInfo& request);
    Reply handleAdmin(const RequestInfo& request);
    Reply serve(const RequestInfo& request);
    Reply truth(const QUrlQuery& query) const;
    std::optional<Fault> fault(FaultKind kind, const RequestInfo& request) const {
        return m_faults.find(kind, request.host, request.path);
    }
    Reply state() const;

    SimClock m_clock;
    FaultSet m_faults;
    QCache<QString, QByteArray> m_frames;
    qint64 m_publishedSeconds; // when the national map was "made"
};

} // namespace radarsim
