// The loop display under load: a tab switch to the new picture painted, at
// zoom 1 and zoom 5, and with the storm tracks of KLSX's 34 cells over every
// picture; the CPU the running loop and the idle window take, the loop with
// and without the tracks; and the memory of 20 images loaded at zoom 5.
//
// Runs on the offscreen platform (painting into the window's backing store):
//   build/release/bench/bench_display
//   NUBIVISTA_BENCH_SECONDS=60 build/release/bench/bench_display --benchmark_filter=Cpu
#include "app/demo_window.h"
#include "core/message_service.h"
#include "display/loop_animation.h"
#include "display/tab_display.h"
#include "display/zoom_scroll.h"
#include "feed/level3/decode.h"
#include "feed/nws/storm_json.h"
#include "gui_bench_main.h"
#include "process_memory.h"
#include "radar/site_table.h"
#include "sets/companion_files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPaintEvent>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
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

std::optional<feed::level3::Product> decodedProduct(const char* name) {
    QFile file(QStringLiteral(NUBIVISTA_SOURCE_DIR "/tests/data/level3/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    auto decoded = feed::level3::decodeLevel3(file.readAll());
    if (auto* product = std::get_if<feed::level3::Product>(&decoded))
        return std::move(*product);
    return std::nullopt;
}

// Keeps KLSX's 34 cells of 11 December 2021, 02:15 UTC, as the feed serves
// them, beside every image, and shows them at long range, where all of them
// lie on the picture. False when the products cannot be read.
bool keepStormTracks(app::DemoWindow& demo) {
    const auto tracking = decodedProduct("KLSX_SDUS33_NSTLSX_202112110215");
    const auto hail = decodedProduct("KLSX_SDUS63_NHILSX_202112110152");
    const auto mesocyclones = decodedProduct("KLSX_SDUS33_NMDLSX_202112110152");
    const auto vortices = decodedProduct("KLSX_SDUS63_NTVLSX_202112110238");
    const radar::SiteRow* site = radar::FindSite(QStringLiteral("klsx"));
    if (!tracking || !hail || !mesocyclones || !vortices || !site)
        return false;
    const QByteArray json =
        feed::nws::stormsJson(*site, {&*tracking, &*hail, &*mesocyclones, &*vortices});
    sets::LoopSet& loop = demo.window().loop();
    for (int slot = 1; slot <= sets::kSlotCount; ++slot) {
        QFile file(sets::stormCellsFileOf(loop.slotFile(slot)));
        if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
            return false;
    }
    demo.settings().LongRangeFlag = 1;
    loop.updateModel([](sets::SlotModel& model) { model.siteCode = QStringLiteral("klsx"); });
    loop.replaceModel(loop.model());
    QCoreApplication::processEvents();
    return true;
}

void BM_TabSwitchToPicturePainted(benchmark::State& state) {
    const float zoom = static_cast<float>(state.range(0)) / 10.0f;
    const auto loaded = loadedWindow(zoom);
    if (state.range(1) != 0 && !keepStormTracks(*loaded)) {
        state.SkipWithError("the storm products could not be read");
        return;
    }
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
// Arguments: the zoom in tenths, and 1 with the storm tracks drawn.
BENCHMARK(BM_TabSwitchToPicturePainted)
    ->Args({10, 0})
    ->Args({10, 1})
    ->Args({50, 0})
    ->Args({50, 1})
    ->Unit(benchmark::kMicrosecond);

// CPU of the window over a stretch of wall time, as a share of one core.
void measureCpu(benchmark::State& state, bool looping, bool stormTracks = false) {
    const auto loaded = loadedWindow(1.0f);
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    if (stormTracks && !keepStormTracks(*loaded)) {
        state.SkipWithError("the storm products could not be read");
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

void BM_CpuOfTheRunningLoopWithStormTracks(benchmark::State& state) {
    measureCpu(state, true, true);
}
BENCHMARK(BM_CpuOfTheRunningLoopWithStormTracks)->Iterations(1)->Unit(benchmark::kSecond);

void BM_CpuOfTheIdleWindow(benchmark::State& state) {
    measureCpu(state, false);
}
BENCHMARK(BM_CpuOfTheIdleWindow)->Iterations(1)->Unit(benchmark::kSecond);

// What one step of the running loop repaints: every paint event the widgets
// get, by widget, with the area painted. Printed once per run as a census.
class PaintCensus : public QObject {
public:
    struct Count {
        int paints = 0;
        qint64 area = 0;
    };
    std::map<QString, Count> byWidget;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            qint64 area = 0;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                area += qint64(r.width()) * r.height();
            QString name = watched->objectName();
            if (name.isEmpty())
                name = QString::fromLatin1(watched->metaObject()->className());
            Count& c = byWidget[name];
            ++c.paints;
            c.area += area;
        }
        return false;
    }
};

void BM_RepaintsPerLoopStep(benchmark::State& state) {
    const auto loaded = loadedWindow(1.0f);
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    display::LoopAnimation& animation = loaded->window().display().animation();
    loaded->settings().LoopDelayMs = 100;
    animation.load();
    animation.Command18_MouseDown();
    animation.Timer4().stop(); // the steps are driven here, one at a time
    // As in a real loop, the national map is set aside.
    loaded->window().panes().setMapPaneAside();
    runEventsFor(200);
    PaintCensus census;
    qApp->installEventFilter(&census);
    int steps = 0;
    for (auto _ : state) {
        animation.LoopTick();
        QCoreApplication::processEvents();
        ++steps;
    }
    qApp->removeEventFilter(&census);
    int paints = 0;
    qint64 area = 0;
    QString detail;
    for (const auto& [name, count] : census.byWidget) {
        paints += count.paints;
        area += count.area;
        detail += QStringLiteral("  %1: %2 paints/step, %3 px/step\n")
                      .arg(name)
                      .arg(double(count.paints) / steps, 0, 'f', 2)
                      .arg(double(count.area) / steps, 0, 'f', 0);
    }
    std::fprintf(stderr, "Repaints per loop step, by widget:\n%s", qPrintable(detail));
    state.counters["paints_per_step"] = double(paints) / steps;
    state.counters["px_per_step"] = double(area) / steps;
}
BENCHMARK(BM_RepaintsPerLoopStep)->Iterations(2000)->Unit(benchmark::kMicrosecond);

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
