// The loop display under load: a tab switch to the new picture painted, at
// zoom 1 and zoom 5; the CPU the running loop and the idle window take; and
// the memory of 20 images loaded at zoom 5.
//
// Runs on the offscreen platform (painting into the window's backing store):
//   build/release/bench/bench_display
//   NUBIVISTA_BENCH_SECONDS=60 build/release/bench/bench_display --benchmark_filter=Cpu
#include "app/demo_window.h"
#include "core/message_service.h"
#include "display/loop_animation.h"
#include "display/tab_display.h"
#include "display/zoom_scroll.h"
#include "gui_bench_main.h"
#include "process_memory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace nubivista;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMegabytes() {
    return double(nubivista::bench::residentKb()) / 1024.0;
}

void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int benchSeconds(int fallback) {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("NUBIVISTA_BENCH_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : fallback;
}

// The main window with 20 sample images at a zoom.
std::unique_ptr<app::DemoWindow> loadedWindow(float zoom) {
    auto demo = std::make_unique<app::DemoWindow>(QStringLiteral(NUBIVISTA_BENCH_APP_DIR), 20,
                                                  QSize(1100, 900));
    demo->settings().ZoomFactor = zoom;
    display::ZoomScroll& zoomScroll = demo->window().display().zoom();
    zoomScroll.setNaturalSize(9000, 8250); // the sample images' own size, now at the zoom
    zoomScroll.UpdateScrollRanges();
    zoomScroll.SyncScrollBars(false, false);
    zoomScroll.placeScrollBars();
    QCoreApplication::processEvents();
    return demo;
}

void BM_TabSwitchToPicturePainted(benchmark::State& state) {
    const float zoom = static_cast<float>(state.range(0)) / 10.0f;
    const auto loaded = loadedWindow(zoom);
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    display::LoopDisplay& display = loaded->window().display();
    QWidget* view = display.controls().Image1;
    int tab = 1;
    for (auto _ : state) {
        tab = tab % 20 + 1;
        display.tabs().selectTab(tab);
        view->repaint();
    }
    state.counters["view_px"] = view->width() * view->height();
}
BENCHMARK(BM_TabSwitchToPicturePainted)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

// CPU of the window over a stretch of wall time, as a share of one core.
void measureCpu(benchmark::State& state, bool looping) {
    const auto loaded = loadedWindow(1.0f);
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    loaded->settings().LoopDelayMs = 100;
    display::LoopAnimation& animation = loaded->window().display().animation();
    animation.load();
    if (looping)
        animation.Command18_MouseDown();
    const int seconds = benchSeconds(10);
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventsFor(seconds * 1000);
        state.counters["cpu_share_pct"] =
            100.0 * (cpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
    }
    state.counters["seconds"] = seconds;
}

void BM_CpuOfTheRunningLoop(benchmark::State& state) {
    measureCpu(state, true);
}
BENCHMARK(BM_CpuOfTheRunningLoop)->Iterations(1)->Unit(benchmark::kSecond);

void BM_CpuOfTheIdleWindow(benchmark::State& state) {
    measureCpu(state, false);
}
BENCHMARK(BM_CpuOfTheIdleWindow)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MemoryWith20ImagesAtZoom5(benchmark::State& state) {
    const double before = residentMegabytes();
    const auto loaded = loadedWindow(5.0f);
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    display::LoopDisplay& display = loaded->window().display();
    for (auto _ : state)
        for (int tab = 1; tab <= 20; ++tab) {
            display.tabs().selectTab(tab);
            display.controls().Image1->repaint();
        }
    state.counters["rss_mb"] = residentMegabytes();
    state.counters["window_mb"] = residentMegabytes() - before;
}
BENCHMARK(BM_MemoryWith20ImagesAtZoom5)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runWindowBenchmarks(argc, argv);
}
