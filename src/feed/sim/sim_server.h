#pragma once
// The simulated source behind the feed's HTTP front, in one object: what the
// feed runs with --source sim, and what tests and benchmarks start in-process.
#include "feed/server/feed_server.h"
#include "feed/sim/sim_service.h"

namespace nubivista::feed::sim {

class SimServer {
public:
    SimServer(QDateTime startUtc, double speed, int frameIntervalSeconds)
        : m_service(std::move(startUtc), speed, frameIntervalSeconds), m_front(m_service) {}

    // Binds 127.0.0.1 only; 0 picks a free port. Returns the port, or 0 on failure.
    quint16 listenOnLoopback(quint16 port) { return m_front.listenOnLoopback(port); }
    void setRequestLog(bool on) { m_front.setRequestLog(on); }
    SimService& service() { return m_service; }

private:
    SimService m_service;
    server::FeedServer m_front;
};

} // namespace nubivista::feed::sim
