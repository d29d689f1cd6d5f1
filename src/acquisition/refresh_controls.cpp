// The refresh controls: the count-down, pause and resume, the interval
// buttons, Shut-Down and Restart, and the status-bar clock and stale-image
// notice that Timer2 keeps with the caption's working-offline mark.
#include "acquisition/count_down.h"
#include "acquisition/refresh_process.h"
#include "acquisition/stale_image_notice.h"
#include "core/form1.h"
#include "core/hold_repeat.h"
#include "core/message_service.h"
#include "core/press_button.h"
#include "radar/addresses.h"
#include "sets/loop_set.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace nubivista::acquisition {

namespace {

constexpr int kConfirmRestartMsg = 4;
constexpr int kConfirmShutDownMsg = 5;
const QString kShutDownCaption = QStringLiteral("Shut-Down");
const QString kRestartCaption = QStringLiteral("Restart");
const QString kRunningPauseCaption = QStringLiteral("ll");
const QString kPausedPauseCaption = QStringLiteral("=");

QString shutDownQuestion() {
    return QStringLiteral("\r\nConfirm:\r\n"
                          "Do You Want To Shut-Down The Current Auto-Refresh Process?\r\n"
                          "You Can Restart It Later, At Its Current Stage, By Clicking The "
                          "-Restart- Button.");
}

QString restartQuestion() {
    return QStringLiteral("\r\n\r\nConfirm:\r\n"
                          "Do You Want To Restart The\r\n"
                          "Auto-Refresh Process?");
}

} // namespace

// ---- looks ----

void RefreshProcess::setBoxBackground(QLineEdit* box, int role) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(static_cast<QPalette::ColorRole>(role)));
    box->setPalette(palette);
}

void RefreshProcess::showRunningLook() {
    setBoxBackground(c_.Text4, QPalette::Base);
    setBoxBackground(c_.Text2, QPalette::Base);
    look_ = Look::Running;
}

void RefreshProcess::showPausedLook() {
    setBoxBackground(c_.Text2, QPalette::ToolTipBase);
    look_ = Look::Paused;
}

void RefreshProcess::showStoppedLook() {
    setBoxBackground(c_.Text4, QPalette::Button);
    setBoxBackground(c_.Text2, QPalette::Button);
    look_ = Look::Stopped;
}

bool RefreshProcess::countDownRunning() const {
    return look_ == Look::Running;
}

bool RefreshProcess::offersShutDown() const {
    return c_.Command7->text() == kShutDownCaption;
}

void RefreshProcess::showCaptionForCommand7(bool shutDown) {
    c_.Command7->setText(shutDown ? kShutDownCaption : kRestartCaption);
    if (settings().NoToolTips == 0)
        c_.Command7->setToolTip(
            shutDown ? QStringLiteral("Shut-Down Auto-Refresh Process")
                     : QStringLiteral("Restart The Previous, Shut-Down, Auto-Refresh Process"));
}

void RefreshProcess::restartTimer1() {
    timer1_.stop();
    timer1_.setInterval(state_.minuteLengthMs);
    timer1_.start();
}

// ---- Timer2 ----

void RefreshProcess::Timer2_Timer() {
    const bool offline = readOfflineFlag();
    const QString caption = shell_.windowTitle();
    const QString marked = captionWithOfflineMark(caption, offline);
    if (marked != caption)
        shell_.setWindowTitle(marked);

    if (countDownRunning()) {
        CountDownInput in;
        in.nowTick = clock().tickCount();
        in.minuteStartTick = state_.MinuteStartTick;
        in.timer1IntervalMs = timer1_.interval();
        in.refreshIntervalMinutes = settings().RefreshIntervalMinutes;
        in.minutesElapsed = state_.MinutesElapsed;
        c_.Text2->setText(countDownText(in));
    }
    updateClockPanel();
    updateStaleImageNotice();
}

void RefreshProcess::updateClockPanel() {
    shell_.statusPanel(4)->setText(
        clockPanelText(settings().ClockOff == 0, settings().ClockUtc != 0, clock().now()));
}

void RefreshProcess::updateStaleImageNotice() {
    if (state_.RefreshState != refresh_state::Running) {
        staleNotice_->reset();
        return;
    }
    const sets::SlotModel& m = loop_.model();
    StaleImageNotice::Process process;
    if (m.newestSlot >= 1 && m.newestSlot <= sets::kSlotCount && m.slotFilled[m.newestSlot] == 1)
        process.newestUtc = m.slotTime[m.newestSlot];
    process.refreshIntervalMinutes = settings().RefreshIntervalMinutes;
    process.siteCode = radar::SiteCodeFromPaneUrl(imageAddress()).value_or(m.siteCode.toLower());
    if (const auto product = radar::RecognizeProduct(imageAddress()))
        process.productCode = product->productCode;
    process.paneUrl = PaneUrl();
    process.toolTips = settings().NoToolTips == 0;
    staleNotice_->update(process);
}

void RefreshProcess::StatusBar1_RightClick() {
    settings().ClockUtc = settings().ClockUtc != 0 ? 0 : 1;
    updateClockPanel();
}

void RefreshProcess::StatusBar1_Panel4DoubleClick() {
    settings().ClockOff = settings().ClockOff != 0 ? 0 : 1;
    updateClockPanel();
}

// ---- pause and resume ----

void RefreshProcess::Command9_Click() {
    if (state_.RefreshState <= refresh_state::Stopped)
        return;
    if (c_.Command9->text() == kRunningPauseCaption) {
        timer1_.stop();
        showPausedLook();
        c_.Command9->setText(kPausedPauseCaption);
        state_.pausedRemainder =
            pausedRemainder(clock().tickCount(), state_.MinuteStartTick, timer1_.interval());
        return;
    }
    state_.MinuteStartTick = clock().tickCount();
    timer1_.setInterval(resumeInterval(state_.pausedRemainder, state_.minuteLengthMs));
    timer1_.start();
    setBoxBackground(c_.Text2, QPalette::Base);
    look_ = Look::Running;
    c_.Command9->setText(kRunningPauseCaption);
}

// ---- the interval buttons ----

void RefreshProcess::Command20_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        intervalButtonDown(false);
}

void RefreshProcess::Command21_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        intervalButtonDown(true);
}

void RefreshProcess::Command20_MouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        intervalButtonUp(true);
}

void RefreshProcess::Command21_MouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        intervalButtonUp(false);
}

void RefreshProcess::intervalButtonDown(bool increase) {
    state_.buttonHeld = true;
    core::HoldRepeat(
        this, clock(), [this] { return state_.buttonHeld; },
        [this, increase] {
            std::int32_t& interval = settings().RefreshIntervalMinutes;
            if (increase) {
                interval = increasedInterval(interval);
            } else {
                const DecreasedInterval lower = decreasedInterval(interval, state_.MinutesElapsed);
                interval = lower.intervalMinutes;
                state_.MinutesElapsed = lower.minutesElapsed;
            }
            c_.Text4->setText(QString::number(interval));
        });
}

void RefreshProcess::intervalButtonUp(bool decrease) {
    state_.buttonHeld = false;
    if (decrease && refreshOnDecreaseRelease(timer1_.isActive(), state_.MinutesElapsed,
                                             settings().RefreshIntervalMinutes))
        RefreshImagePage();
    loop_.save();
}

// ---- Shut-Down and Restart ----

void RefreshProcess::Command7_Click() {
    if (state_.ForcedShutDown == 1) {
        state_.ForcedShutDown = 0;
    } else if (state_.RefreshState != refresh_state::Stopped) {
        if (!messages().isSuppressed(kConfirmShutDownMsg) &&
            messages().ShowMsgWind(4, shutDownQuestion(), kConfirmShutDownMsg) != core::MsgYes)
            return;
    } else if (!messages().isSuppressed(kConfirmRestartMsg) &&
               messages().ShowMsgWind(4, restartQuestion(), kConfirmRestartMsg) != core::MsgYes) {
        return;
    }

    if (state_.RefreshState >= refresh_state::Running) {
        state_.RefreshState = refresh_state::Stopped;
        showCaptionForCommand7(false);
        c_.Command9->setText(kRunningPauseCaption);
        timer1_.stop();
        timer3_.stop();
        timer5_.stop();
        panes_.WebBrowser1->navigate(shell_.paths().startBlank.url);
        panes_.setMapPaneAside();
        showStoppedLook();
        state_.MinutesElapsed = 0;
        c_.Text2->clear();
        staleNotice_->reset();
        restoreLoopOfFailedStart();
        return;
    }

    // Restart: nothing to restart without the address of a process.
    if (PaneUrl().isEmpty())
        return;
    showCaptionForCommand7(true);
    c_.Command9->setText(kRunningPauseCaption);
    if (const auto product = radar::RecognizeProduct(PaneUrl()); product && display_.showProduct)
        display_.showProduct(product->productCode);
    panes_.MapPaneAside = 0;
    panes_.placePanes();
    if (restartKind(c_.Check3->isChecked(), loop_.model().lastImageTime,
                    settings().RefreshIntervalMinutes, clock()) == RestartKind::LatestPage) {
        restartTimer1();
        state_.MinutesElapsed = 0;
        state_.MinuteStartTick = clock().tickCount();
        showRunningLook();
        panes_.WebBrowser2->navigate(shell_.paths().beginNav.url);
        state_.RefreshState = refresh_state::Running;
        panes_.WebBrowser1->navigate(QUrl(PaneUrl()));
        return;
    }
    // The gap has grown too long: fill it from the loop page first.
    panes_.WebBrowser2->navigate(shell_.paths().beginLoopNav.url);
    panes_.WebBrowser1->navigate(shell_.paths().startBlank.url);
    const QString loopPage =
        radar::LoopPageUrlFromPaneUrl(PaneUrl(), settings().NavsGoToPageUrl != 0);
    loop_.updateModel([&loopPage](sets::SlotModel& m) { m.paneUrl = loopPage; });
    state_.RefreshState = refresh_state::BackDatedRestart;
    panes_.WebBrowser1->navigate(QUrl(loopPage));
}

void RefreshProcess::enterShutDownState() {
    state_.RefreshState = refresh_state::Stopped;
    c_.Command7->setEnabled(true);
    showCaptionForCommand7(false);
    c_.Command9->setText(kRunningPauseCaption);
    timer1_.stop();
    timer3_.stop();
    timer5_.stop();
    showStoppedLook();
    c_.Text2->clear();
    staleNotice_->reset();
    restoreLoopOfFailedStart();
}

} // namespace nubivista::acquisition
