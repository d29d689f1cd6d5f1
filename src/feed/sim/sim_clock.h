#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace nubivista::feed::sim {

// The simulation's clock: simulated UTC seconds run at `speed` times real time from
// the start time, plus whatever /_sim/advance has added. Frames are published at
// every multiple of the frame interval (counted from the Unix epoch), so frame n
// has the time n * interval.
class SimClock {
public:
    SimClock(QDateTime startUtc, double speed, int frameIntervalSeconds);

    qint64 nowSeconds() const;

    int frameIntervalSeconds() const { return m_interval; }
    double speed() const { return m_speed; }

    qint64 newestFrameIndex() const;
    qint64 frameSeconds(qint64 frameIndex) const { return frameIndex * m_interval; }

    // Real seconds until the next frame is due; a stopped clock (speed 0) answers one
    // interval.
    int realSecondsToNextFrame() const;

    // Publishes `frames` new frames at once by stepping simulated time.
    void advanceFrames(int frames);

private:
    qint64 m_startMs;
    double m_speed;
    int m_interval;
    qint64 m_advancedMs = 0;
    QElapsedTimer m_elapsed;
};

} // namespace nubivista::feed::sim
