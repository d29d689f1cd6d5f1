// The soak: the auto-refresh process in the assembled program, on its real
// panes and Internet layer, fed by the radar simulator on a clock 80 times
// faster than real time, with faults injected from a seeded sequence and the
// process restarted after each forced shut-down as a user would. Every check
// that fails is a test failure; a summary is printed at the end.
//
// With the other tests it runs one simulated hour with two faults. scripts/soak
// runs it long through NUBIVISTA_SOAK_HOURS, NUBIVISTA_SOAK_FAULTS (-1: no
// limit), NUBIVISTA_SOAK_SEED and NUBIVISTA_SOAK_VERBOSE.
#include "core/ole_date.h"
#include "display/display_controls.h"
#include "e2e/refresh_fixture.h"
#include "e2e/soak_checks.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <random>

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
// Simulated time without a new image, with no fault in force, after which
// the process counts as stuck.
constexpr int kLongestQuietSeconds = 45 * 60;
const QString kSite = QStringLiteral("kmkx");

double fromEnvironment(const char* name, double fallback) {
    bool ok = false;
    const double value = qEnvironmentVariable(name).toDouble(&ok);
    return ok ? value : fallback;
}

class SoakTest : public RefreshE2eTest {
protected:
    SoakTest()
        : hours_(fromEnvironment("NUBIVISTA_SOAK_HOURS", 1)),
          maxFaults_(int(fromEnvironment("NUBIVISTA_SOAK_FAULTS", 2))),
          verbose_(!qEnvironmentVariableIsEmpty("NUBIVISTA_SOAK_VERBOSE")),
          random_(unsigned(fromEnvironment("NUBIVISTA_SOAK_SEED", 20261207))) {
        // The simulator's day starts now, on the hour, and runs as fast as
        // the program's clock.
        QDateTime start = QDateTime::currentDateTimeUtc();
        start.setTime(QTime(start.time().hour(), 0));
        simArguments = {"--start-time", start.toString(Qt::ISODate), "--speed",
                        QString::number(kTimeScale)};
        // A hung server ends the pane's load in two seconds, not thirty.
        paneFetchTimeoutMs = 2000;
        timeScale = kTimeScale;
        settings.RefreshIntervalMinutes = kRefreshMinutes;
    }
    core::Clock& programClock() override;
    void SetUp() override;
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
    // The faults and the gaps between them come from a seeded sequence, so
    // that a failing run can be repeated exactly.
    QDateTime nextFaultTime(const QDateTime& now) {
        return now.addSecs(std::uniform_int_distribution<qint64>(2, 4)(random_) * kFrameSeconds);
    }
    bool processRunning() const { return window->refresh().RefreshState() >= Running; }
    bool backDating() const {
        const std::int16_t state = window->refresh().RefreshState();
        return state == BackDatedRestart || state == LoopPageLoading;
    }

    double hours_;
    int maxFaults_;
    bool verbose_;
    std::mt19937 random_;
    std::unique_ptr<ScaledClock> clock_;
    std::unique_ptr<RecordWatch> record_;
    std::unique_ptr<FrameTruth> truth_;

    QDateTime startUtc_, endUtc_, nextFaultAt_, faultEndsAt_, faultClearedAt_, stoppedAt_;
    QDateTime lastImageAt_, lastMemorySample_;
    std::optional<Fault> faultInForce_;
    int restartWaitSeconds_ = 0;
    bool wasRunning_ = false;
    bool inTick_ = false;
    QList<int> slotsToVerify_;
    QElapsedTimer sinceTick_;
    qint64 longestStallMs_ = 0;

    // What the summary reports.
    int backDatedImages_ = 0, imagesVerified_ = 0;
    int faults_ = 0, forcedShutDowns_ = 0, restarts_ = 0, backDatedRestarts_ = 0;
    qint64 memoryAfterFirstHourKb_ = 0, peakMemoryKb_ = 0;
};

core::Clock& SoakTest::programClock() {
    const QJsonObject state = QJsonDocument::fromJson(sim->get("/_sim/state")).object();
    startUtc_ = QDateTime::fromString(state.value("now").toString(), Qt::ISODate).toUTC();
    clock_ = std::make_unique<ScaledClock>(startUtc_, kTimeScale);
    endUtc_ = startUtc_.addSecs(static_cast<qint64>(hours_ * 3600));
    return *clock_;
}

void SoakTest::SetUp() {
    RefreshE2eTest::SetUp();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(startUtc_.isValid()) << "the feed did not tell its time";
    platform::DownloadLimits limits = layer->downloadLimits();
    limits.timeoutMs = 5000;
    layer->setDownloadLimits(limits);
    record_ = std::make_unique<RecordWatch>(window->loop(),
                                            [this] { return settings.RefreshIntervalMinutes; });
    truth_ = std::make_unique<FrameTruth>([this](const QString& path) { return sim->get(path); },
                                          kSite, kFrameSeconds);
    QObject::connect(&window->loop(), &sets::LoopSet::imageStored, [this](int slot) {
        backDatedImages_ += backDating();
        lastImageAt_ = clock_->nowUtc();
        slotsToVerify_ << slot;
    });
    // Every question is answered Yes, as a watcher who wants the loop going.
    startProcessOn(kSite);
}

void SoakTest::run() {
    QElapsedTimer real;
    real.start();
    lastImageAt_ = faultClearedAt_ = clock_->nowUtc();
    wasRunning_ = processRunning();
    nextFaultAt_ = nextFaultTime(clock_->nowUtc());

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
        sim->clearFaults();
    // Every image in the loop at the end, once more.
    for (int slot = 1; slot <= sets::kSlotCount; ++slot)
        if (window->loop().filled(slot))
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
                startUtc_.secsTo(clock_->nowUtc()) / 3600.0, real.elapsed() / 1000.0,
                imagesStored(), backDatedImages_, imagesVerified_, faults_, forcedShutDowns_,
                restarts_, backDatedRestarts_, record_->changesSeen(),
                static_cast<long long>(memoryAfterFirstHourKb_),
                static_cast<long long>(std::max(peakMemoryKb_, finalMemoryKb)),
                static_cast<long long>(finalMemoryKb), static_cast<long long>(longestStallMs_));
    std::fflush(stdout);
    // The program closes as at the end of a session.
    window->form1().close();
}

void SoakTest::watchTick() {
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

void SoakTest::verifyStoredImages() {
    while (!slotsToVerify_.isEmpty()) {
        const int slot = slotsToVerify_.takeFirst();
        if (!window->loop().filled(slot))
            continue;
        const QByteArray bytes = nubivista::testing::readBytes(window->loop().slotFile(slot));
        const QDateTime stamp = core::oleToDateTime(window->loop().model().slotTime[slot], Qt::UTC);
        if (const std::optional<QString> wrong =
                truth_->check(bytes, stamp, static_cast<int>(settings.StampAdjustMinutes)))
            violation(QStringLiteral("slot %1: ").arg(slot) + *wrong);
        else
            ++imagesVerified_;
    }
}

void SoakTest::sampleMemory(const QDateTime& now) {
    if (lastMemorySample_.isValid() && lastMemorySample_.secsTo(now) < 5 * 60)
        return;
    lastMemorySample_ = now;
    const qint64 kb = residentKbOfProcessTree();
    peakMemoryKb_ = std::max(peakMemoryKb_, kb);
    if (memoryAfterFirstHourKb_ == 0 && startUtc_.secsTo(now) >= 3600)
        memoryAfterFirstHourKb_ = kb;
}

void SoakTest::driveFaults(const QDateTime& now) {
    if (faultInForce_) {
        if (now < faultEndsAt_)
            return;
        sim->clearFaults();
        log(QStringLiteral("fault cleared: ") + faultInForce_->label());
        faultInForce_.reset();
        faultClearedAt_ = now;
        nextFaultAt_ = nextFaultTime(now);
        return;
    }
    // A process that has been quiet too long with nothing wrong is stuck.
    if (processRunning() &&
        std::max(lastImageAt_, faultClearedAt_).secsTo(now) > kLongestQuietSeconds) {
        violation(QStringLiteral("the running process brought no image for %1 minutes")
                      .arg(lastImageAt_.secsTo(now) / 60));
        lastImageAt_ = now;
    }
    const bool moreFaults = maxFaults_ < 0 || faults_ < maxFaults_;
    if (!moreFaults || now < nextFaultAt_ || !processRunning())
        return;
    const Fault fault =
        kAllFaults[std::uniform_int_distribution<std::size_t>(0, kAllFaults.size() - 1)(random_)];
    // Only the weather service's host name, the one the program asks for, is
    // faulted: the soak's own look at the true frames goes by loopback address.
    if (!sim->setFault(QStringLiteral("name=%1&match=%2&host=weather.noaa.gov")
                           .arg(QLatin1String(fault.name),
                                fault.onMapHost ? QStringLiteral("national") : kSite))) {
        violation(QStringLiteral("the feed refused the fault ") + fault.label());
        return;
    }
    faultInForce_ = fault;
    faultEndsAt_ = now.addSecs(kFaultHoldSeconds);
    if (QLatin1String(fault.name) == QLatin1String("republish"))
        truth_->noteRepublish(now, faultEndsAt_);
    ++faults_;
    log(QStringLiteral("fault injected: ") + fault.label());
    // The national map's host matters only when the map loads: the watcher
    // brings the map up over the picture.
    if (fault.onMapHost && window->panes().mapPaneAside())
        window->panes().Command1_Click();
}

void SoakTest::driveRestarts(const QDateTime& now) {
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
    if (running || faultInForce_ || stoppedAt_.secsTo(now) < restartWaitSeconds_)
        return;
    display::DisplayControls& controls = window->display().controls();
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

TEST_F(SoakTest, TheProcessKeepsTrueImagesThroughFaultsAndRestarts) {
    run();
}

} // namespace
} // namespace nubivista::e2e::soak
