// The set commands with a full loop of 20 images: reloading the last current
// set, from the menu click to the newest image painted (the work alone, and
// with the half-second deferral the command waits), and saving the set.
//
// Runs on the offscreen platform:
//   build/release/bench/bench_sets_commands
#include "app/demo_window.h"
#include "display/tab_display.h"
#include "gui_bench_main.h"
#include "sets/set_commands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace nubivista;

namespace {

const QString kImageUrl =
    QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmlb/latest.gif");

// The window with 20 sample images, written as the current set; the
// messages before the commands are switched off so that none waits.
std::unique_ptr<app::DemoWindow> fullWindow() {
    auto demo = std::make_unique<app::DemoWindow>(QStringLiteral(NUBIVISTA_BENCH_APP_DIR), 20,
                                                  QSize(1100, 900));
    demo->settings().MsgOffMap[9] = u'1';  // reload confirmation
    demo->settings().MsgOffMap[12] = u'1'; // save advice
    sets::LoopSet& loop = demo->window().loop();
    loop.updateModel([](sets::SlotModel& m) {
        m.newestSlot = 20;
        m.paneUrl = kImageUrl;
        m.siteImageUrl = kImageUrl;
        m.siteCode = QStringLiteral("kmlb");
    });
    if (!loop.save().written())
        return nullptr;
    return demo;
}

void BM_ReloadFullSetWork(benchmark::State& state) {
    const auto demo = fullWindow();
    if (!demo || !demo->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    core::Form1& form = demo->window().form1();
    QWidget* view = demo->window().display().controls().Image1;
    QAction* reload = form.menuItem(QStringLiteral("mnuReOpenCurrSet"));
    for (auto _ : state) {
        reload->trigger();
        form.Timer6_Timer(); // the deferred step at once
        view->repaint();
    }
    if (demo->window().loop().filledCount() != 20)
        state.SkipWithError("the set did not reload");
}
BENCHMARK(BM_ReloadFullSetWork)->Unit(benchmark::kMillisecond);

void BM_ReloadFullSetFromClick(benchmark::State& state) {
    const auto demo = fullWindow();
    if (!demo || !demo->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    core::Form1& form = demo->window().form1();
    QWidget* view = demo->window().display().controls().Image1;
    QAction* reload = form.menuItem(QStringLiteral("mnuReOpenCurrSet"));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        // Quits after the timer's own handler has run the deferred step.
        QEventLoop waitForStep;
        QObject::connect(form.Timer6(), &QTimer::timeout, &waitForStep, &QEventLoop::quit,
                         Qt::QueuedConnection);
        reload->trigger();
        waitForStep.exec();
        view->repaint();
    }
    if (demo->window().loop().filledCount() != 20)
        state.SkipWithError("the set did not reload");
}
BENCHMARK(BM_ReloadFullSetFromClick)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_SaveFullSet(benchmark::State& state) {
    const auto demo = fullWindow();
    if (!demo || !demo->ok()) {
        state.SkipWithError("the sample images could not be loaded");
        return;
    }
    core::Form1& form = demo->window().form1();
    const QString setsDir = form.paths().savedSetsDir;
    QDir().mkpath(setsDir);
    int saves = 0;
    QString chosen;
    sets::SetCommands commands(
        form, demo->window().loop(),
        [&chosen](sets::SetDialog, const QString&, const QString&) {
            return std::optional<sets::ChosenFile>({chosen, QFileInfo(chosen).fileName()});
        },
        {});
    for (auto _ : state) {
        state.PauseTiming();
        QDir(setsDir + QStringLiteral("/Set")).removeRecursively();
        chosen = setsDir + QStringLiteral("/Set.sis");
        state.ResumeTiming();
        commands.mnuSaveSet_Click();
        ++saves;
    }
    if (QDir(setsDir + QStringLiteral("/Set")).entryList(QDir::Files).size() != 21)
        state.SkipWithError("the set was not saved");
    state.counters["saves"] = saves;
}
BENCHMARK(BM_SaveFullSet)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runWindowBenchmarks(argc, argv);
}
