// Storm measurement in the main window: a click on the picture to its result
// shown (Text1 and the view with its line repainted), and the placement of a
// marker by a first click, at zoom 1 and zoom 5.
//
//   build/h6r/bench/bench_measurement
#include "app/demo_window.h"
#include "display/tab_display.h"
#include "display/zoom_scroll.h"
#include "gui_bench_main.h"

#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

using namespace nubivista;

namespace {

std::unique_ptr<app::DemoWindow> loadedWindow(float zoom) {
    auto demo = std::make_unique<app::DemoWindow>(QStringLiteral(NUBIVISTA_BENCH_APP_DIR), 2,
                                                  QSize(1100, 900));
    demo->settings().ZoomFactor = zoom;
    display::ZoomScroll& zoomScroll = demo->window().display().zoom();
    zoomScroll.setNaturalSize(9000, 8250);
    zoomScroll.UpdateScrollRanges();
    zoomScroll.SyncScrollBars(false, false);
    zoomScroll.placeScrollBars();
    demo->window().display().tabs().selectTab(1);
    QCoreApplication::processEvents();
    return demo;
}

// A left press and release on the widget, as the window system delivers them.
void click(QWidget* on, QPoint at) {
    const QPointF local(at);
    const QPointF global(on->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(on, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(on, &release);
}

void BM_ClickToResultShown(benchmark::State& state) {
    const auto loaded = loadedWindow(static_cast<float>(state.range(0)));
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    const display::DisplayControls& c = loaded->window().display().controls();
    // A start point on the same image: every later click measures distance
    // and direction from it, draws the line and shows the text.
    click(c.Image1, {100, 100});
    int step = 0;
    for (auto _ : state) {
        click(c.Image1, {200 + step % 200, 300 + step % 150});
        c.Text1->repaint();
        c.Image1->repaint();
        ++step;
    }
    state.SetLabel(c.Text1->text().toStdString());
}
BENCHMARK(BM_ClickToResultShown)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

void BM_MarkerPlacement(benchmark::State& state) {
    const auto loaded = loadedWindow(static_cast<float>(state.range(0)));
    if (!loaded->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    display::LoopDisplay& display = loaded->window().display();
    const display::DisplayControls& c = display.controls();
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        display.tabs().ClearMeasurement();
        state.ResumeTiming();
        // A first click: the start marker sized for the zoom and placed.
        click(c.Image1, {100 + step % 300, 100 + step % 200});
        c.Image1->marker(1)->repaint();
        ++step;
    }
    state.counters["marker_px"] = c.Image1->marker(1)->width();
}
BENCHMARK(BM_MarkerPlacement)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runWindowBenchmarks(argc, argv);
}
