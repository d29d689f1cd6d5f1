#include "feed/sim/sim_clock.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nubivista::feed::sim {

SimClock::SimClock(QDateTime startUtc, double speed, int frameIntervalSeconds)
    : m_startMs(startUtc.toMSecsSinceEpoch()),
      m_speed(std::max(0.0, speed)),
      m_interval(std::max(1, frameIntervalSeconds)) {
    m_elapsed.start();
}

qint64 SimClock::nowSeconds() const {
    const double simulatedMs = static_cast<double>(m_elapsed.elapsed()) * m_speed;
    const qint64 ms = m_startMs + static_cast<qint64>(simulatedMs) + m_advancedMs;
    // Floor division keeps times before 1970 consistent too.
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

qint64 SimClock::newestFrameIndex() const {
    const qint64 now = nowSeconds();
    return now >= 0 ? now / m_interval : -((-now + m_interval - 1) / m_interval);
}

int SimClock::realSecondsToNextFrame() const {
    const qint64 simulatedRemaining = frameSeconds(newestFrameIndex() + 1) - nowSeconds();
    const double real = m_speed > 0.0 ? std::ceil(static_cast<double>(simulatedRemaining) / m_speed)
                                      : static_cast<double>(m_interval);
    // A crawling clock would put the next frame past what an int holds.
    return static_cast<int>(std::clamp(real, 0.0, double{std::numeric_limits<int>::max()}));
}

void SimClock::advanceFrames(int frames) {
    m_advancedMs += static_cast<qint64>(std::max(0, frames)) * m_interval * 1000;
}

} // namespace nubivista::feed::sim
