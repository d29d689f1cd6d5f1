// The soak: the auto-refresh process in the assembled program, on its real
// panes and Internet layer, fed by the radar simulator on a clock 80 times
// faster than real time, with faults injected from a seeded sequence and the
// process restarted after each forced shut-down as a user would. Every check
// that fails is a test failure; a summary is printed at the end.
//
// With the other tests it runs one simulated hour with two faults. scripts/soak
// runs it long through NUBIVISTA_SOAK_HOURS, NUBIVISTA_SOAK_FAULTS (-1: no
// limit), NUBIVISTA_SOAK_SEED and NUBIVISTA_SOAK_VERBOSE.
#include "acquisition/platform/web_engine_setup.h"
#include "core/ole_date.h"
#include "core/wait_ticks.h"
#include "display/display_controls.h"
#include "e2e/assembled_program.h"
#include "e2e/soak_checks.h"
#include "platform/e2e_support.h"
#include "support/scoped_time_zone.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace nubivista::e2e::soak {
namespace {

using acquisition::refresh_state::BackDatedRestart;
using acquisition::refresh_state::LoopPageLoading;
using acquisition::refresh_state::Running;

constexpr double kTimeScale = 80; // simulated seconds per real second
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
const QString kSite = QStringLiteral("kmkx");

double fromEnvironment(const char* name, double fallback) {
    bool ok = false;
    const double value = qEnvironmentVariable(name).toDouble(&ok);
    return ok ? value : fallback;
}

class SoakRun {
public:
    SoakRun()
        : hours_(fromEnvironment("NUBIVISTA_SOAK_HOURS", 1)),
          maxFaults_(int(fromEnvironment("NUBIVISTA_SOAK_FAULTS", 2))),
          verbose_(!qEnvironmentVariableIsEmpty("NUBIVISTA_SOAK_VERBOSE")),
          plan_(unsigned(fromEnvironment("NUBIVISTA_SOAK_SEED", 20261207))) {}

    void setUp();
    void run();

private:
    void watchTick();
    void driveFaults(const QDateTime& now);
    void driveRestarts(const QDateTime& now);
    void verifyStoredImages();
    void sampleMemory(const QDateTime& now);
    void violation(const QString& what) {
        ADD_FAILURE() << "[" << clock_->nowUtc().toString(Qt::ISODate).toStdString() << "] "
                      << what.toStdString();
    }
    void log(const QString& line) const {
        if (verbose_)
            std::fprintf(stderr, "soak: [%s] %s\n",
                         qPrintable(clock_->nowUtc().toString(QStringLiteral("MM-dd hh:mm:ss"))),
                         qPrintable(line));
    }
    void clickControl(QWidget* control) {
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }
    qint64 secondsSince(const QDateTime& then, const QDateTime& now) const {
        return then.secsTo(now);
    }
    bool processRunning() const { return window_->refresh().RefreshState() >= Running; }
    bool backDating() const {
        const std::int16_t state = window_->refresh().RefreshState();
        return state == BackDatedRestart || state == LoopPageLoading;
    }

    double hours_;
    int maxFaults_;
    bool verbose_;
    FaultPlan plan_;
    nubivista::testing::ScopedTimeZone zone_{"America/Chicago"};

    std::unique_ptr<platform::testing::RadarSimProcess> sim_;
    std::unique_ptr<ScaledClock> clock_;
    AssembledProgram program_;
    core::Settings& settings_ = program_.settings;
    std::unique_ptr<app::MainWindow>& window_ = program_.window;
    std::unique_ptr<RecordWatch> record_;
    std::unique_ptr<FrameTruth> truth_;

    QDateTime startUtc_, endUtc_, nextFaultAt_, faultEndsAt_, faultClearedAt_, stoppedAt_;
    QDateTime lastImageAt_, lastMemorySample_;
    std::optional<Fault> faultInForce_;
    int restartWaitSeconds_ = 0;
    bool wasRunning_ = false;
    bool inTick_ = false;
    int mapLoads_ = 0;
    QList<int> slotsToVerify_;
    QElapsedTimer sinceTick_;
    qint64 longestStallMs_ = 0;

    // What the summary reports.
    int imagesStored_ = 0, backDatedImages_ = 0, imagesVerified_ = 0;
    int faults_ = 0, forcedShutDowns_ = 0, restarts_ = 0, backDatedRestarts_ = 0;
    qint64 memoryAfterFirstHourKb_ = 0, peakMemoryKb_ = 0;
};

void SoakRun::setUp() {
    platform::prepareWebEngineEnvironment();
    // The simulator's day starts now, on the hour, so that the two clocks
    // start together.
    QDateTime start = QDateTime::currentDateTimeUtc();
    start.setTime(QTime(start.time().hour(), 0));
    sim_ = std::make_unique<platform::testing::RadarSimProcess>(QStringList{
        "--start-time", start.toString(Qt::ISODate), "--speed", QString::number(kTimeScale),
        "--frame-interval", QString::number(kFrameSeconds)});
    ASSERT_TRUE(sim_->isRunning()) << "the feed did not start";
    const QJsonObject state = QJsonDocument::fromJson(sim_->get("/_sim/state")).object();
    startUtc_ = QDateTime::fromString(state.value("now").toString(), Qt::ISODate).toUTC();
    ASSERT_TRUE(startUtc_.isValid()) << "the feed did not tell its time";
    clock_ = std::make_unique<ScaledClock>(startUtc_, kTimeScale);
    endUtc_ = startUtc_.addSecs(static_cast<qint64>(hours_ * 3600));

    settings_.RefreshIntervalMinutes = kRefreshMinutes;
    // A hung server ends the pane's load in two seconds, not thirty.
    program_.layer = platform::testing::layerThroughSim(program_.home, *sim_, true, 2000);
    platform::DownloadLimits limits = program_.layer->downloadLimits();
    limits.timeoutMs = 5000;
    program_.layer->setDownloadLimits(limits);
    // Every question is answered Yes, as a watcher who wants the loop going.
    const std::optional<QString> missing = program_.assemble(
        *clock_,
        [this](int kind, const QString& text, int id) {
            log(QStringLiteral("message %1/%2: %3").arg(kind).arg(id).arg(text.simplified()));
            return kind == 1 ? int(core::MsgOkay) : int(core::MsgYes);
        },
        {});
    ASSERT_FALSE(missing) << missing->toStdString();
    window_->refresh().setTimeScale(kTimeScale);

    record_ = std::make_unique<RecordWatch>(window_->loop(),
                                            [this] { return settings_.RefreshIntervalMinutes; });
    truth_ = std::make_unique<FrameTruth>([this](const QString& path) { return sim_->get(path); },
                                          kSite, kFrameSeconds);
    QObject::connect(&window_->loop(), &sets::LoopSet::imageStored, [this](int slot) {
        ++imagesStored_;
        backDatedImages_ += backDating();
        lastImageAt_ = clock_->nowUtc();
        slotsToVerify_ << slot;
    });
    QObject::connect(&program_.mapPane(), &platform::BrowserPane::documentComplete,
                     [this](const QUrl& address) {
                         mapLoads_ += address.path().endsWith(QLatin1String("/national.html"));
                     });

    program_.show();
    ASSERT_TRUE(core::WaitUntil([this] { return mapLoads_ > 0; }, kFirstMapTimeoutMs))
        << "the national map did not come";
    ASSERT_TRUE(program_.clickSite(kSite, kFirstMapTimeoutMs).value_or(false))
        << "the map has no spot for " << kSite.toStdString();
    ASSERT_TRUE(core::WaitUntil([this] { return imagesStored_ > 0; }, kFirstMapTimeoutMs))
        << "the first image did not come";
    log(QStringLiteral("first image stored"));
}

void SoakRun::run() {
    QElapsedTimer real;
    real.start();
    lastImageAt_ = faultClearedAt_ = clock_->nowUtc();
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
    // Every image in the loop at the end, once more.
    for (int slot = 1; slot <= sets::kSlotCount; ++slot)
        if (window_->loop().filled(slot))
            slotsToVerify_ << slot;
    verifyStoredImages();
    const qint64 finalMemoryKb = residentKbOfProcessTree();
    if (memoryAfterFirstHourKb_ > 0 && finalMemoryKb > memoryAfterFirstHourKb_ * 11 / 10)
        violation(QStringLiteral("resident memory grew from %1 kB after the first hour to %2 kB")
                      .arg(memoryAfterFirstHourKb_)
                      .arg(finalMemoryKb));
    if (longestStallMs_ > kStallLimitMs)
        violation(QStringLiteral("the event loop stalled for %1 ms").arg(longestStallMs_));
    std::printf("soak: %.1f simulated hours in %.0f s\n"
                "  images stored      %d (%d by back-dated starts), %d checked against the "
                "simulator's frames\n"
                "  faults injected    %d, forced shut-downs %d, restarts %d (%d through the loop "
                "page)\n"
                "  set record changes %d, each decoded and checked\n"
                "  memory             %lld kB after the first hour, peak %lld kB, final %lld kB\n"
                "  longest stall      %lld ms\n",
                startUtc_.secsTo(clock_->nowUtc()) / 3600.0, real.elapsed() / 1000.0, imagesStored_,
                backDatedImages_, imagesVerified_, faults_, forcedShutDowns_, restarts_,
                backDatedRestarts_, record_->changesSeen(),
                static_cast<long long>(memoryAfterFirstHourKb_),
                static_cast<long long>(std::max(peakMemoryKb_, finalMemoryKb)),
                static_cast<long long>(finalMemoryKb), static_cast<long long>(longestStallMs_));
    std::fflush(stdout);
    // The program closes as at the end of a session.
    window_->form1().close();
}

void SoakRun::watchTick() {
    if (sinceTick_.isValid())
        longestStallMs_ = std::max(longestStallMs_, sinceTick_.elapsed() - kWatchIntervalMs);
    sinceTick_.start();
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
        const QByteArray bytes = nubivista::testing::readBytes(window_->loop().slotFile(slot));
        const QDateTime stamp =
            core::oleToDateTime(window_->loop().model().slotTime[slot], Qt::UTC);
        if (const std::optional<QString> wrong =
                truth_->check(bytes, stamp, static_cast<int>(settings_.StampAdjustMinutes)))
            violation(QStringLiteral("slot %1: ").arg(slot) + *wrong);
        else
            ++imagesVerified_;
    }
}

void SoakRun::sampleMemory(const QDateTime& now) {
    if (lastMemorySample_.isValid() && lastMemorySample_.secsTo(now) < 5 * 60)
        return;
    lastMemorySample_ = now;
    const qint64 kb = residentKbOfProcessTree();
    peakMemoryKb_ = std::max(peakMemoryKb_, kb);
    if (memoryAfterFirstHourKb_ == 0 && startUtc_.secsTo(now) >= 3600)
        memoryAfterFirstHourKb_ = kb;
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
    const bool moreFaults = maxFaults_ < 0 || faults_ < maxFaults_;
    if (!moreFaults || now < nextFaultAt_ || !processRunning())
        return;
    const Fault fault = plan_.nextFault();
    if (!sim_->setFault(fault.query(kSite))) {
        violation(QStringLiteral("the feed refused the fault ") + fault.labelText());
        return;
    }
    faultInForce_ = fault;
    faultEndsAt_ = now.addSecs(kFaultHoldSeconds);
    if (fault == kRepublish)
        truth_->noteRepublish(now, faultEndsAt_);
    ++faults_;
    log(QStringLiteral("fault injected: ") + fault.labelText());
    // The national map's host matters only when the map loads: the watcher
    // brings the map up over the picture.
    if (fault == kMapHostUnreachable && window_->panes().mapPaneAside())
        window_->panes().Command1_Click();
}

void SoakRun::driveRestarts(const QDateTime& now) {
    const bool running = processRunning();
    // A watcher comes back after a while; every third time after long enough
    // for the back-dated restart to fill the gap.
    const bool backDate = (restarts_ + 1) % 3 == 0;
    if (running != wasRunning_) {
        wasRunning_ = running;
        if (!running) {
            ++forcedShutDowns_;
            stoppedAt_ = now;
            restartWaitSeconds_ = (backDate ? 3 : 1) * kRefreshMinutes * 60;
            log(QStringLiteral("shut down"));
        }
    }
    if (running || faultInForce_ || secondsSince(stoppedAt_, now) < restartWaitSeconds_)
        return;
    display::DisplayControls& controls = window_->display().controls();
    if (controls.Command7->text() != QLatin1String("Restart"))
        return;
    if (controls.Check3->isChecked() != backDate)
        clickControl(controls.Check3);
    if (controls.Check3->isChecked() != backDate)
        violation(QStringLiteral("a click on Back-Date did not change it"));
    ++restarts_;
    log(QStringLiteral("restart") + (backDate ? QStringLiteral(" with Back-Date") : QString()));
    clickControl(controls.Command7);
    backDatedRestarts_ += backDating();
    wasRunning_ = processRunning();
    if (!wasRunning_)
        violation(QStringLiteral("Restart did not start the process"));
}

TEST(Soak, TheProcessKeepsTrueImagesThroughFaultsAndRestarts) {
    SoakRun soak;
    soak.setUp();
    if (!::testing::Test::HasFatalFailure())
        soak.run();
}

} // namespace
} // namespace nubivista::e2e::soak
