#pragma once
// A clock whose date and time run a number of times faster than real time,
// from a given start, in step with the radar simulator's own fast clock. The
// tick count stays real: the process's timers are scaled instead.
#include "core/clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace nubivista::soak {

class ScaledClock final : public core::Clock {
public:
    ScaledClock(const QDateTime& startUtc, double factor) : startUtc_(startUtc), factor_(factor) {
        since_.start();
    }
    std::int32_t tickCount() const override { return real_.tickCount(); }
    QDateTime now() const override { return nowUtc().toLocalTime(); }
    QDateTime nowUtc() const {
        return startUtc_.addMSecs(static_cast<qint64>(since_.elapsed() * factor_));
    }
    double factor() const { return factor_; }

private:
    core::SystemClock real_;
    QDateTime startUtc_;
    double factor_;
    QElapsedTimer since_;
};

} // namespace nubivista::soak
