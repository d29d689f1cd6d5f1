// Costs of the settings record, the time conversions and the wait: run by hand
// (release build) and read the figures.
#include "core/clock.h"
#include "core/ole_date.h"
#include "core/settings.h"
#include "core/time_routines.h"
#include "core/wait_ticks.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace nubivista::core;

namespace {

QByteArray sampleRecord() {
    Settings s;
    s.EtaSavePath = QStringLiteral("/home/user/Documents/eta list.txt");
    s.MsgOffMap[10] = QLatin1Char('1');
    return encodeSettingsRecord(recordFromSettings(s));
}

void BM_DecodeAndApplyLoadRules(benchmark::State& state) {
    const QByteArray bytes = sampleRecord();
    for (auto _ : state) {
        Settings s = settingsFromRecord(decodeSettingsRecord(bytes));
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_DecodeAndApplyLoadRules);

void BM_EncodeRecord(benchmark::State& state) {
    const Settings s = settingsFromRecord(decodeSettingsRecord(sampleRecord()));
    for (auto _ : state) {
        QByteArray bytes = encodeSettingsRecord(recordFromSettings(s));
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_EncodeRecord);

void BM_SaveSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    const Settings s;
    for (auto _ : state) {
        const WriteOutcome outcome = saveSettingsFile(path, s);
        if (!outcome.ok)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveSettingsFile);

void BM_LocDateToUtcDate(benchmark::State& state) {
    const SystemClock clock;
    OleDate t = *oleFromParts(2024, 6, 15, 14, 7, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LocDateToUtcDate(t, clock));
        t += 1.0 / 1440;
    }
}
BENCHMARK(BM_LocDateToUtcDate);

void BM_UtcToLocal(benchmark::State& state) {
    const SystemClock clock;
    OleDate t = *oleFromParts(2024, 6, 15, 14, 7, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(utcToLocal(t, clock));
        t += 1.0 / 1440;
    }
}
BENCHMARK(BM_UtcToLocal);

// Wall time is the wait; the CPU column is what the wait costs the processor.
void BM_WaitTicks(benchmark::State& state) {
    const SystemClock clock;
    for (auto _ : state)
        WaitTicks(static_cast<std::int32_t>(state.range(0)), clock);
}
BENCHMARK(BM_WaitTicks)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
