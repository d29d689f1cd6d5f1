// Cost of writing and reading the set record, which is rewritten after every
// change of the slots.
#include "sets/current_set.h"
#include "sets/set_record.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace nubivista::sets;

namespace {

SlotModel fullModel() {
    SlotModel model;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 45300.0 + slot / 144.0;
    }
    model.newestSlot = 20;
    model.lastImageTime = 45300.25;
    model.lastImageSize = 30211;
    model.paneUrl = QStringLiteral("http://radar.weather.gov/radar/latest/DS.p19r0/si.kmlb.shtml");
    model.siteCode = QStringLiteral("kmlb");
    return model;
}

void BM_EncodeSetRecord(benchmark::State& state) {
    const SetRecord record = setRecordFromModel(fullModel(), 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeSetRecord(record));
}
BENCHMARK(BM_EncodeSetRecord);

void BM_DecodeSetRecord(benchmark::State& state) {
    const QByteArray bytes = encodeSetRecord(setRecordFromModel(fullModel(), 6));
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeSetRecord(bytes));
}
BENCHMARK(BM_DecodeSetRecord);

// The whole save: encode, temporary file, rename over the record.
void BM_SaveCurrentSet(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    const SlotModel model = fullModel();
    for (auto _ : state) {
        if (!SaveCurrentSet(path, model, 6).written())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveCurrentSet);

void BM_ReadSetRecordFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    SaveCurrentSet(path, fullModel(), 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(readSetRecordFile(path));
}
BENCHMARK(BM_ReadSetRecordFile);

} // namespace

BENCHMARK_MAIN();
