// The wait: lets timers and handlers run, lasts the requested time across the
// tick count's wrap, and sleeps rather than spinning a processor.
#include "core/wait_ticks.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

using namespace nubivista::core;

namespace {

std::int64_t threadCpuMicroseconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

} // namespace

TEST(WaitTicks, EndsAcrossTheSignedTickWrap) {
    const std::int32_t start = INT_MAX - 100;
    ManualClock clock(QDateTime(QDate(2024, 6, 15), QTime(12, 0)), start);
    clock.setAdvancePerRead(25);
    QElapsedTimer real;
    real.start();
    WaitTicks(500, clock);
    clock.setAdvancePerRead(0);
    EXPECT_LT(clock.tickCount(), 0); // the count did wrap during the wait
    const std::uint32_t passed = std::uint32_t(clock.tickCount()) - std::uint32_t(start);
    EXPECT_TRUE(passed > 500u && passed <= 500u + 2 * 25u) << passed;
    EXPECT_LT(real.elapsed(), 5000);
}

TEST(WaitTicks, RealWaitRunsTimersAndSleepsInsteadOfSpinning) {
    SystemClock clock;
    bool fired = false;
    QTimer::singleShot(20, [&fired] { fired = true; });
    const std::int64_t cpuBefore = threadCpuMicroseconds();
    QElapsedTimer real;
    real.start();
    WaitTicks(300, clock);
    const std::int64_t cpuUsed = threadCpuMicroseconds() - cpuBefore;
    EXPECT_GE(real.elapsed(), 300);
    EXPECT_TRUE(fired);
    // A sleeping wait uses a few milliseconds; a spinning one takes all the
    // processor it is given, over 100 ms even on a busy two-core machine.
    EXPECT_LT(cpuUsed, 30'000) << "cpu microseconds: " << cpuUsed;
}
