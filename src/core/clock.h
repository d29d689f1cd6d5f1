#pragma once
// The program's view of time: a millisecond tick count and the local date and
// time. Windows and routines receive a Clock instead of asking the system, so
// tests can set and advance time.
#include <QDateTime>
#include <cstdint>

namespace nubivista::core {

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds from an arbitrary start, as a signed 32-bit count that wraps
    // from 2^31 - 1 to -2^31 (about every 24.8 days).
    virtual std::int32_t tickCount() const = 0;

    // The local date and time.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    std::int32_t tickCount() const override;
    QDateTime now() const override;
};

// A clock that moves only when told: by the setters, by advance(), or by a
// fixed step on every read of the tick count (so a wait loop moves it).
class ManualClock final : public Clock {
public:
    ManualClock();
    ManualClock(const QDateTime& now, std::int32_t tickCount);

    std::int32_t tickCount() const override;
    QDateTime now() const override;

    void setTickCount(std::int32_t ticks) { ticks_ = static_cast<std::uint32_t>(ticks); }
    void setNow(const QDateTime& now) { now_ = now; }

    // Moves both the tick count (wrapping) and the date-time forward.
    void advance(std::int64_t ms);

    // Every later tickCount() read advances the clock by ms after reading.
    void setAdvancePerRead(std::int32_t ms) { advancePerRead_ = ms; }

    // How often tickCount() has been read.
    std::int64_t tickReads() const { return tickReads_; }

private:
    mutable std::uint32_t ticks_ = 0;
    mutable QDateTime now_;
    mutable std::int64_t tickReads_ = 0;
    std::int32_t advancePerRead_ = 0;
};

} // namespace nubivista::core
