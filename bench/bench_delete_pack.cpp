// Deleting every second of 20 images and packing the other 10 down, from the
// menu item to the window repainted: 10 deletions, 10 renames, 10 pictures
// and stamp boxes decoded afresh and the current set rewritten.
//
// Runs on the offscreen platform:
//   build/release/bench/bench_delete_pack
#include "app/demo_window.h"
#include "display/tab_display.h"
#include "gui_bench_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

using namespace nubivista;

namespace {

constexpr int kImages = 20;
constexpr int kSampleImages = 11;

// Puts the 20 sample images back into the slots, a full ring, with the boxes
// of the odd tabs checked.
bool restoreLoop(app::DemoWindow& demo) {
    sets::LoopSet& loop = demo.window().loop();
    const QString sampleDir = QDir(QStringLiteral(NUBIVISTA_BENCH_APP_DIR))
                                  .filePath(QStringLiteral("Sample Loop Images"));
    loop.clearAll();
    for (int slot = 1; slot <= kImages; ++slot) {
        const QString sample = QDir(sampleDir).filePath(
            QStringLiteral("latest%1.gif").arg(1 + (slot - 1) % kSampleImages));
        QFile::remove(loop.slotFile(slot));
        if (!QFile::copy(sample, loop.slotFile(slot)))
            return false;
        loop.storeImage(slot, 46362.5 + (slot - 1) / 1440.0);
    }
    loop.updateModel([](sets::SlotModel& m) {
        m.ringOffset = 0;
        m.newestSlot = kImages;
        m.wrapState = sets::kRingFull;
    });
    const display::DisplayControls& c = demo.window().display().controls();
    for (int tab = 1; tab <= kImages; tab += 2)
        c.Check4[tab]->setChecked(true);
    demo.window().display().tabs().selectTab(kImages);
    QCoreApplication::processEvents();
    return loop.filledCount() == kImages;
}

void BM_DeleteTenOfTwentyAndPack(benchmark::State& state) {
    app::DemoWindow demo(QStringLiteral(NUBIVISTA_BENCH_APP_DIR), kImages, QSize(1100, 900));
    // No question and no completion message: nobody answers them here.
    demo.settings().MsgOffMap[5] = u'1';
    demo.settings().MsgOffMap[6] = u'1';
    QAction* item = demo.window().form1().menuItem(QStringLiteral("mnuDelete"));
    sets::LoopSet& loop = demo.window().loop();
    for (auto _ : state) {
        state.PauseTiming();
        if (!restoreLoop(demo)) {
            state.SkipWithError("the sample images could not be restored");
            break;
        }
        state.ResumeTiming();
        item->trigger();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (loop.filledCount() != kImages / 2) {
            state.SkipWithError("the pack did not leave 10 images");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteTenOfTwentyAndPack)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    return runWindowBenchmarks(argc, argv);
}
