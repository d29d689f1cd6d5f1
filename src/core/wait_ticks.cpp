#include "core/wait_ticks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

namespace nubivista::core {

namespace {

// The longest sleep between two looks at the clock. A test clock may be moved
// by anything, so the wait looks again at least this often.
constexpr std::int32_t kRecheckMs = 10;

// Milliseconds since start by the tick count, correct across its wrap from
// 2^31 - 1 to -2^31 (for waits shorter than 49 days).
std::int64_t ticksSince(std::int32_t start, const Clock& clock) {
    return static_cast<std::uint32_t>(clock.tickCount()) - static_cast<std::uint32_t>(start);
}

} // namespace

void WaitTicks(std::int32_t ms, const Clock& clock) {
    if (ms < 1)
        return;
    const std::int32_t start = clock.tickCount();

    if (QCoreApplication::instance() == nullptr) {
        // No event loop to run: just sleep until the time has passed.
        for (std::int64_t elapsed = 0; elapsed <= ms; elapsed = ticksSince(start, clock)) {
            const auto nap = std::min<std::int64_t>(ms - elapsed + 1, kRecheckMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(nap));
        }
        return;
    }

    QEventLoop loop;
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wakeUp, &QTimer::timeout, &loop, &QEventLoop::quit);

    for (std::int64_t elapsed = 0; elapsed <= ms; elapsed = ticksSince(start, clock)) {
        const auto nap = static_cast<int>(std::min<std::int64_t>(ms - elapsed + 1, kRecheckMs));
        wakeUp.start(nap);
        // exec() refuses to run once the application is quitting; then the
        // rest of the wait is slept without events rather than spun.
        if (loop.exec() != 0) {
            wakeUp.stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(nap));
        }
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    poll.start();
    loop.exec();
    return done();
}

} // namespace nubivista::core
