#include "core/clock.h"

#include <chrono>

namespace nubivista::core {

std::int32_t SystemClock::tickCount() const {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    // Keep the low 32 bits and read them as signed, as the old tick count did.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

ManualClock::ManualClock() : ManualClock(QDateTime(QDate(2024, 6, 15), QTime(12, 0)), 0) {}

ManualClock::ManualClock(const QDateTime& now, std::int32_t tickCount)
    : ticks_(static_cast<std::uint32_t>(tickCount)), now_(now) {}

std::int32_t ManualClock::tickCount() const {
    const auto ticks = static_cast<std::int32_t>(ticks_);
    ++tickReads_;
    if (advancePerRead_ != 0) {
        ticks_ += static_cast<std::uint32_t>(advancePerRead_);
        now_ = now_.addMSecs(advancePerRead_);
    }
    return ticks;
}

QDateTime ManualClock::now() const {
    return now_;
}

void ManualClock::advance(std::int64_t ms) {
    ticks_ += static_cast<std::uint32_t>(ms);
    now_ = now_.addMSecs(ms);
}

} // namespace nubivista::core
