#include "soak/soak_run.h"

#include "acquisition/platform/web_engine_setup.h"
#include "core/ole_date.h"
#include "core/press_button.h"
#include "core/wait_ticks.h"
#include "display/display_controls.h"
#include "e2e/assembled_program.h"
#include "platform/e2e_support.h"
#include "sets/loop_set.h"
#include "soak/scaled_clock.h"
#include "soak/soak_checks.h"
#include "support/scoped_time_zone.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace nubivista::soak {

namespace {

using acquisition::refresh_state::Running;
using acquisition::refresh_state::Stopped;
using platform::testing::RadarSimProcess;

constexpr int kWatchIntervalMs = 50;
constexpr qint64 kStallLimitMs = 2000;
constexpr int kFrameSeconds = 300;
constexpr int kRefreshMinutes = 6;
// A fault stays in force for two frames.
constexpr int kFaultHoldSeconds = 2 * kFrameSeconds;
// The first map, and the browser engine's start, on a loaded machine.
constexpr int kFirstMapTimeoutMs = 90000;
// Simulated time without a new image, with no fault in force, after which
// the process counts as stuck.
constexpr int kLongestQuietSeconds = 45 * 60;
constexpr char kProduct[] = "DS.p19r0";

} // namespace

class SoakRun {
public:
    explicit SoakRun(const SoakOptions& options)
        : options_(options), plan_(options.seed, options.minGapFrames, options.maxGapFrames) {}

    bool setUp();
    void run();
    SoakSummary& summary() { return summary_; }

private:
    void watchTick();
    void driveFaults(const QDateTime& now);
    void driveRestarts(const QDateTime& now);
    void verifyStoredImages();
    void sampleMemory(const QDateTime& now);
    void violation(const QString& what);
    void log(const QString& line) const;
    bool clickSite();
    void clickControl(QWidget* control);
    int secondsSince(const QDateTime& then, const QDateTime& now) const {
        return static_cast<int>(then.secsTo(now));
    }
    bool processRunning() const { return window_->refresh().RefreshState() >= Running; }

    SoakOptions options_;
    FaultPlan plan_;
    SoakSummary summary_;
    nubivista::testing::ScopedTimeZone zone_{"America/Chicago"};

    std::unique_ptr<RadarSimProcess> sim_;
    std::unique_ptr<ScaledClock> clock_;
    e2e::AssembledProgram program_;
    core::Settings& settings_ = program_.settings;
    std::unique_ptr<app::MainWindow>& window_ = program_.window;
    std::unique_ptr<RecordWatch> record_;
    std::unique_ptr<FrameTruth> truth_;
    StallWatch stalls_;

    QDateTime startUtc_;
    QDateTime endUtc_;
    QDateTime nextFaultAt_;
    std::optional<Fault> faultInForce_;
    QDateTime faultEndsAt_;
    QDateTime faultClearedAt_;
    QDateTime stoppedAt_;
    QDateTime lastImageAt_;
    QDateTime lastMemorySample_;
    int restartWaitSeconds_ = 0;
    bool wasRunning_ = false;
    bool inTick_ = false;
    int mapLoads_ = 0;
    QList<int> slotsToVerify_;
};

int SoakSummary::faultsInjected() const {
    int total = 0;
    for (const int count : faultsByKind)
        total += count;
    return total;
}

QString SoakSummary::text() const {
    QStringList lines;
    lines << QStringLiteral("soak: %1 simulated hours in %2 s")
                 .arg(simulatedHours, 0, 'f', 1)
                 .arg(realSeconds, 0, 'f', 0);
    lines << QStringLiteral("  images stored        %1 (%2 by back-dated starts), %3 checked "
                            "against the simulator's frames")
                 .arg(imagesStored)
                 .arg(backDatedImages)
                 .arg(imagesVerified);
    QStringList kinds;
    for (auto it = faultsByKind.cbegin(); it != faultsByKind.cend(); ++it)
        kinds << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
    lines << QStringLiteral("  faults injected      %1: %2")
                 .arg(faultsInjected())
                 .arg(kinds.isEmpty() ? QStringLiteral("none") : kinds.join(QStringLiteral(", ")));
    lines << QStringLiteral("  forced shut-downs    %1").arg(forcedShutDowns);
    lines << QStringLiteral("  restarts             %1 (%2 through the loop page)")
                 .arg(restarts)
                 .arg(backDatedRestarts);
    lines
        << QStringLiteral("  set record changes   %1, each decoded and checked").arg(recordChanges);
    lines << QStringLiteral("  memory               %1 kB after the first hour, peak %2 kB, "
                            "final %3 kB")
                 .arg(memoryAfterFirstHourKb)
                 .arg(peakMemoryKb)
                 .arg(finalMemoryKb);
    lines << QStringLiteral("  longest stall        %1 ms").arg(longestStallMs);
    lines << QStringLiteral("  violations           %1").arg(violations.size());
    for (const QString& v : violations)
        lines << QStringLiteral("    - ") + v;
    return lines.join(QLatin1Char('\n'));
}

void SoakRun::violation(const QString& what) {
    const QString stamped =
        QStringLiteral("[%1] ").arg(clock_ ? clock_->nowUtc().toString(Qt::ISODate) : QString()) +
        what;
    summary_.violations << stamped;
    std::fprintf(stderr, "soak: VIOLATION %s\n", qPrintable(stamped));
}

void SoakRun::log(const QString& line) const {
    if (options_.verbose)
        std::fprintf(stderr, "soak: [%s] %s\n",
                     qPrintable(clock_->nowUtc().toString(QStringLiteral("MM-dd hh:mm:ss"))),
                     qPrintable(line));
}

bool SoakRun::setUp() {
    // The simulator's day starts now, on the hour, so that the two clocks
    // start together.
    QDateTime start = QDateTime::currentDateTimeUtc();
    start.setTime(QTime(start.time().hour(), 0));
    sim_ = std::make_unique<RadarSimProcess>(QStringList{
        "--start-time", start.toString(Qt::ISODate), "--speed", QString::number(options_.timeScale),
        "--frame-interval", QString::number(kFrameSeconds)});
    if (!sim_->isRunning()) {
        violation(QStringLiteral("the feed did not start"));
        return false;
    }
    const QJsonObject state =
        QJsonDocument::fromJson(sim_->get(QStringLiteral("/_sim/state"))).object();
    startUtc_ =
        QDateTime::fromString(state.value(QLatin1String("now")).toString(), Qt::ISODate).toUTC();
    if (!startUtc_.isValid()) {
        violation(QStringLiteral("the feed did not tell its time"));
        return false;
    }
    clock_ = std::make_unique<ScaledClock>(startUtc_, options_.timeScale);
    endUtc_ = startUtc_.addSecs(static_cast<qint64>(options_.simulatedHours * 3600));

    settings_.RefreshIntervalMinutes = kRefreshMinutes;
    // A hung server ends the pane's load in two seconds, not thirty.
    program_.layer = platform::testing::layerThroughSim(program_.home, *sim_, true, 2000);
    if (program_.layer->isRunning()) {
        platform::DownloadLimits limits = program_.layer->downloadLimits();
        limits.timeoutMs = 5000;
        program_.layer->setDownloadLimits(limits);
    }
    // Every question is answered Yes, as a watcher who wants the loop going.
    const std::optional<QString> missing = program_.assemble(
        *clock_,
        [this](int kind, const QString& text, int id) {
            log(QStringLiteral("message %1/%2: %3").arg(kind).arg(id).arg(text.simplified()));
            return kind == 1 ? int(core::MsgOkay) : int(core::MsgYes);
        },
        {});
    if (missing) {
        violation(*missing);
        return false;
    }
    window_->refresh().setTimeScale(options_.timeScale);

    record_ = std::make_unique<RecordWatch>(window_->loop(),
                                            [this] { return settings_.RefreshIntervalMinutes; });
    truth_ =
        std::make_unique<FrameTruth>([this](const QString& path) { return sim_->get(path); },
                                     QString::fromLatin1(kProduct), options_.site, kFrameSeconds);
    QObject::connect(&window_->loop(), &sets::LoopSet::imageStored, [this](int slot) {
        ++summary_.imagesStored;
        const std::int16_t state = window_->refresh().RefreshState();
        if (state == acquisition::refresh_state::BackDatedRestart ||
            state == acquisition::refresh_state::LoopPageLoading)
            ++summary_.backDatedImages;
        lastImageAt_ = clock_->nowUtc();
        slotsToVerify_ << slot;
    });
    QObject::connect(&program_.mapPane(), &platform::BrowserPane::documentComplete,
                     [this](const QUrl& address) {
                         if (address.path().endsWith(QLatin1String("/national.html")))
                             ++mapLoads_;
                     });

    program_.show();
    if (!core::WaitUntil([this] { return mapLoads_ > 0; }, kFirstMapTimeoutMs)) {
        violation(QStringLiteral("the national map did not come"));
        return false;
    }
    if (!clickSite())
        return false;
    if (!core::WaitUntil([this] { return summary_.imagesStored > 0; }, kFirstMapTimeoutMs)) {
        violation(QStringLiteral("the first image did not come"));
        return false;
    }
    log(QStringLiteral("first image stored"));
    return true;
}

bool SoakRun::clickSite() {
    if (program_.clickSite(options_.site, kFirstMapTimeoutMs).value_or(false))
        return true;
    violation(QStringLiteral("the map has no spot for ") + options_.site);
    return false;
}

void SoakRun::clickControl(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

void SoakRun::run() {
    QElapsedTimer real;
    real.start();
    lastImageAt_ = clock_->nowUtc();
    faultClearedAt_ = lastImageAt_;
    wasRunning_ = processRunning();
    nextFaultAt_ = clock_->nowUtc().addSecs(qint64(plan_.nextGapFrames()) * kFrameSeconds);

    QEventLoop loop;
    QTimer watch;
    watch.setInterval(kWatchIntervalMs);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        watchTick();
        if (clock_->nowUtc() >= endUtc_)
            loop.quit();
    });
    watch.start();
    loop.exec();
    // What follows waits on the simulator; no tick may drive faults then.
    watch.stop();

    if (faultInForce_)
        sim_->clearFaults();
    verifyStoredImages();
    // Every image in the loop at the end, once more.
    for (int slot = 1; slot <= sets::kSlotCount; ++slot)
        if (window_->loop().filled(slot))
            slotsToVerify_ << slot;
    verifyStoredImages();
    summary_.finalMemoryKb = residentKbOfProcessTree();
    summary_.peakMemoryKb = std::max(summary_.peakMemoryKb, summary_.finalMemoryKb);
    summary_.longestStallMs = stalls_.longestMs();
    summary_.recordChanges = record_->changesSeen();
    summary_.simulatedHours = startUtc_.secsTo(clock_->nowUtc()) / 3600.0;
    summary_.realSeconds = real.elapsed() / 1000.0;
    if (summary_.memoryAfterFirstHourKb > 0 &&
        summary_.finalMemoryKb > summary_.memoryAfterFirstHourKb * 11 / 10)
        violation(QStringLiteral("resident memory grew from %1 kB after the first hour to %2 kB")
                      .arg(summary_.memoryAfterFirstHourKb)
                      .arg(summary_.finalMemoryKb));
    if (summary_.longestStallMs > kStallLimitMs)
        violation(QStringLiteral("the event loop stalled for %1 ms").arg(summary_.longestStallMs));

    // The program closes as at the end of a session.
    window_->form1().close();
}

void SoakRun::watchTick() {
    stalls_.tick(kWatchIntervalMs);
    // The checks below wait on the simulator in a local event loop, in which
    // this timer keeps firing.
    if (inTick_)
        return;
    inTick_ = true;
    const QDateTime now = clock_->nowUtc();
    if (const std::optional<QString> wrong = record_->check())
        violation(*wrong);
    verifyStoredImages();
    sampleMemory(now);
    driveFaults(now);
    driveRestarts(now);
    inTick_ = false;
}

void SoakRun::verifyStoredImages() {
    while (!slotsToVerify_.isEmpty()) {
        const int slot = slotsToVerify_.takeFirst();
        if (!window_->loop().filled(slot))
            continue;
        const QByteArray bytes = platform::testing::readBytes(window_->loop().slotFile(slot));
        const QDateTime stamp =
            core::oleToDateTime(window_->loop().model().slotTime[slot], Qt::UTC);
        if (const std::optional<QString> wrong =
                truth_->check(bytes, stamp, static_cast<int>(settings_.StampAdjustMinutes)))
            violation(QStringLiteral("slot %1: ").arg(slot) + *wrong);
        else
            ++summary_.imagesVerified;
    }
}

void SoakRun::sampleMemory(const QDateTime& now) {
    if (lastMemorySample_.isValid() && lastMemorySample_.secsTo(now) < 5 * 60)
        return;
    lastMemorySample_ = now;
    const qint64 kb = residentKbOfProcessTree();
    summary_.peakMemoryKb = std::max(summary_.peakMemoryKb, kb);
    if (summary_.memoryAfterFirstHourKb == 0 && startUtc_.secsTo(now) >= 3600)
        summary_.memoryAfterFirstHourKb = kb;
}

void SoakRun::driveFaults(const QDateTime& now) {
    if (faultInForce_) {
        if (now < faultEndsAt_)
            return;
        sim_->clearFaults();
        log(QStringLiteral("fault cleared: ") + faultInForce_->labelText());
        faultInForce_.reset();
        faultClearedAt_ = now;
        nextFaultAt_ = now.addSecs(qint64(plan_.nextGapFrames()) * kFrameSeconds);
        return;
    }
    // A process that has been quiet too long with nothing wrong is stuck.
    if (processRunning() &&
        secondsSince(std::max(lastImageAt_, faultClearedAt_), now) > kLongestQuietSeconds) {
        violation(QStringLiteral("the running process brought no image for %1 minutes")
                      .arg(secondsSince(lastImageAt_, now) / 60));
        lastImageAt_ = now;
    }
    const bool moreFaults =
        options_.maxFaults < 0 || summary_.faultsInjected() < options_.maxFaults;
    if (!moreFaults || now < nextFaultAt_ || !processRunning())
        return;
    const Fault fault = plan_.nextFault();
    if (!sim_->setFault(faultQuery(fault, options_.site))) {
        violation(QStringLiteral("the feed refused the fault ") + fault.labelText());
        return;
    }
    faultInForce_ = fault;
    faultEndsAt_ = now.addSecs(kFaultHoldSeconds);
    if (fault == kRepublish)
        truth_->noteRepublish(now, faultEndsAt_);
    ++summary_.faultsByKind[fault.labelText()];
    log(QStringLiteral("fault injected: ") + fault.labelText());
    // The national map's host matters only when the map loads: the watcher
    // brings the map up over the picture.
    if (fault == kMapHostUnreachable && window_->panes().mapPaneAside())
        window_->panes().Command1_Click();
}

void SoakRun::driveRestarts(const QDateTime& now) {
    const std::int16_t state = window_->refresh().RefreshState();
    const bool running = state >= Running;
    if (running != wasRunning_) {
        wasRunning_ = running;
        if (!running) {
            ++summary_.forcedShutDowns;
            stoppedAt_ = now;
            // A watcher comes back after a while; every third time after
            // long enough for the back-dated restart to fill the gap.
            const bool backDate = (summary_.restarts + 1) % 3 == 0;
            restartWaitSeconds_ = (backDate ? 3 : 1) * kRefreshMinutes * 60;
            log(QStringLiteral("shut down"));
        }
    }
    if (running || faultInForce_ || secondsSince(stoppedAt_, now) < restartWaitSeconds_)
        return;
    display::DisplayControls& controls = window_->display().controls();
    if (controls.Command7->text() != QLatin1String("Restart"))
        return;
    const bool backDate = (summary_.restarts + 1) % 3 == 0;
    if (controls.Check3->isChecked() != backDate)
        clickControl(controls.Check3);
    if (controls.Check3->isChecked() != backDate)
        violation(QStringLiteral("a click on Back-Date did not change it"));
    ++summary_.restarts;
    log(QStringLiteral("restart") + (backDate ? QStringLiteral(" with Back-Date") : QString()));
    clickControl(controls.Command7);
    const std::int16_t after = window_->refresh().RefreshState();
    if (after == acquisition::refresh_state::BackDatedRestart ||
        after == acquisition::refresh_state::LoopPageLoading)
        ++summary_.backDatedRestarts;
    wasRunning_ = after >= Running;
    if (!wasRunning_)
        violation(QStringLiteral("Restart did not start the process"));
}

SoakSummary runSoak(const SoakOptions& options) {
    platform::prepareWebEngineEnvironment();
    SoakRun run(options);
    if (run.setUp())
        run.run();
    return run.summary();
}

} // namespace nubivista::soak
