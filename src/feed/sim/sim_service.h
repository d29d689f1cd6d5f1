#pragma once

#include "feed/server/request.h"
#include "feed/sim/faults.h"
#include "feed/sim/sim_clock.h"

#include <QByteArray>
#include <QCache>
#include <QString>
#include <QUrlQuery>
#include <utility>
#include <vector>

namespace nubivista::feed::sim {

using server::Delivery;
using server::Reply;
using server::RequestInfo;

// The simulated radar server without the network: routes, frames, headers and
// faults. The HTTP front (SimServer) only moves bytes.
class SimService : public server::RequestHandler {
public:
    SimService(QDateTime startUtc, double speed, int frameIntervalSeconds);

    // The simulator answers every request at once.
    void handle(const RequestInfo& request, server::Responder respond) override {
        respond(reply(request));
    }
    Reply reply(const RequestInfo& request);

    // The /_sim/ paths that steer the simulation (faults, the clock) answer
    // only when switched on: tests, the soak and benchmarks do; the program's
    // demo never does, so no other process can break its pictures.
    void setAdminPaths(bool on) { m_admin = on; }

    SimClock& clock() { return m_clock; }
    const FaultSet& faults() const { return m_faults; }

    // The GIF of one frame (cached).
    QByteArray frameBytes(const QString& siteCode, const QString& productCode, qint64 frameIndex);

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
    bool m_admin = false;
};

} // namespace nubivista::feed::sim
