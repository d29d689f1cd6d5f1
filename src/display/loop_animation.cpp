#include "display/loop_animation.h"

#include "core/form1.h"
#include "core/hold_repeat.h"
#include "display/loop_display.h"
#include "display/tab_display.h"
#include "sets/loop_set.h"

#include <QGuiApplication>
#include <QPointer>

namespace nubivista::display {

static_assert(kLoopTabs == kTabCount);

namespace {

// Timer4's interval as designed, before the window load sets the loop delay.
constexpr int kDesignIntervalMs = 50;

// Holds back a widget's repaints for a switch that ends the way it began.
class HeldRepaint {
public:
    explicit HeldRepaint(QWidget* widget)
        : widget_(widget), wasHeld_(widget->testAttribute(Qt::WA_UpdatesDisabled)) {
        widget_->setAttribute(Qt::WA_UpdatesDisabled, true);
    }
    ~HeldRepaint() { widget_->setAttribute(Qt::WA_UpdatesDisabled, wasHeld_); }
    HeldRepaint(const HeldRepaint&) = delete;
    HeldRepaint& operator=(const HeldRepaint&) = delete;

private:
    QWidget* widget_;
    bool wasHeld_;
};

} // namespace

LoopAnimation::LoopAnimation(LoopDisplay& display) : display_(display) {
    timer4_.setObjectName(QStringLiteral("Timer4"));
    timer4_.setInterval(kDesignIntervalMs);
    connect(&timer4_, &QTimer::timeout, this, &LoopAnimation::LoopTick);

    DisplayControls& c = display_.controls();
    connect(c.Command18, &core::PressButton::mouseDown, this, [this] { Command18_MouseDown(); });
    connect(c.Command19, &core::PressButton::mouseDown, this, [this] { Command19_MouseDown(); });
    connect(c.Command40, &core::PressButton::mouseDown, this, &LoopAnimation::Command40_MouseDown);
    connect(c.Command41, &core::PressButton::mouseDown, this, &LoopAnimation::Command41_MouseDown);
    connect(c.Command40, &core::PressButton::mouseUp, this, [this] { Command40_MouseUp(); });
    connect(c.Command41, &core::PressButton::mouseUp, this, [this] { Command41_MouseUp(); });

    core::Form1& shell = display_.shell();
    shell.registerToolTip(c.Command18, QStringLiteral("Start/Stop Loop"));
    shell.registerToolTip(c.Command19,
                          QStringLiteral("Loop (just forward) or Rock (forward & backward)"));
    shell.registerToolTip(c.Command40, QStringLiteral("Decrease Loop Delay"));
    shell.registerToolTip(c.Command41, QStringLiteral("Increase Loop Delay"));
    shell.registerToolTip(c.Text11,
                          QStringLiteral("Loop Delay (each image) (millisec.  1000 = 1 sec)"));
}

void LoopAnimation::load() {
    const core::Settings& s = display_.settings();
    DisplayControls& c = display_.controls();
    timer4_.setInterval(loopInterval(s.LoopDelayMs, 0));
    c.Text11->setText(QString::number(s.LoopDelayMs));
    c.Command19->setText(s.RockMode == 1 ? QStringLiteral("Loop") : QStringLiteral("Rock"));
}

TabFlags LoopAnimation::readSkipBoxes() const {
    const DisplayControls& c = display_.controls();
    TabFlags skipped{};
    for (int t = 1; t <= kTabCount; ++t)
        skipped[t] = c.Check4[t]->isChecked();
    return skipped;
}

LoopTabs LoopAnimation::readTabs() const {
    const sets::LoopSet& loop = display_.loop();
    LoopTabs tabs;
    tabs.skipped = readSkipBoxes();
    for (int t = 1; t <= kTabCount; ++t)
        tabs.filled[t] = loop.filled(loop.slotForTab(t));
    return tabs;
}

void LoopAnimation::Command18_MouseDown() {
    DisplayControls& c = display_.controls();
    if (!loopCanRun(display_.loop().highestFilledSlot(), readSkipBoxes())) {
        stop();
        return;
    }
    if (c.Command18->text() != QStringLiteral("Run")) {
        stop();
        return;
    }
    c.Command18->setText(QStringLiteral("Stop"));
    cursor_ = {};
    timer4_.start();
    c.Command60->setEnabled(false);
    c.Command61->setEnabled(false);
}

void LoopAnimation::stop() {
    DisplayControls& c = display_.controls();
    c.Command18->setText(QStringLiteral("Run"));
    // Every stop resets the position, so the next start begins with the first image.
    cursor_ = {};
    timer4_.stop();
    c.Command60->setEnabled(true);
    c.Command61->setEnabled(true);
}

void LoopAnimation::Command19_MouseDown() {
    core::PressButton* button = display_.controls().Command19;
    core::Settings& s = display_.settings();
    if (button->text() != QStringLiteral("Loop")) {
        button->setText(QStringLiteral("Loop"));
        s.RockMode = 1;
    } else {
        button->setText(QStringLiteral("Rock"));
        s.RockMode = 0;
    }
}

void LoopAnimation::LoopTick() {
    DisplayControls& c = display_.controls();
    const core::Settings& s = display_.settings();
    // Loop/Rock is off while a tick shows its tab. The tick runs to its end
    // before anything is painted, so the button looks the same before and
    // after: it is not repainted for the switch.
    const HeldRepaint heldButton(c.Command19);
    c.Command19->setEnabled(false);

    const LoopDelays delays{s.LoopDelayMs, s.FirstExtraMs, s.LastExtraMs};
    const LoopStep step = loopTickStep(cursor_, readTabs(), delays, s.RockMode == 1);
    cursor_ = step.next;
    timer4_.setInterval(step.intervalMs);

    if (step.tab >= 1 && step.tab <= kTabCount) {
        // The box is disabled while its tab is selected; it gets back the state
        // it had, so the box of an empty tab stays disabled.
        OptionBox* box = c.Check4[step.tab];
        const HeldRepaint heldBox(box);
        const bool enabled = box->isEnabled();
        box->setEnabled(false);
        display_.tabs().selectTab(step.tab);
        box->setEnabled(enabled);
    }

    c.Command19->setEnabled(true);
}

void LoopAnimation::Command40_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    holdDelayButton(-1, button, modifiers);
}

void LoopAnimation::Command41_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    holdDelayButton(+1, button, modifiers);
}

void LoopAnimation::Command40_MouseUp() {
    delayHeld_ = false;
}

void LoopAnimation::Command41_MouseUp() {
    delayHeld_ = false;
}

void LoopAnimation::setLoopDelay(int delayMs) {
    display_.settings().LoopDelayMs = delayMs;
    display_.controls().Text11->setText(QString::number(delayMs));
    // A running loop's next tick sets the interval from the new delay itself;
    // restarting Timer4 here at every repeat would hold the shown image up for
    // as long as the button is held.
    if (!timer4_.isActive())
        timer4_.setInterval(loopInterval(delayMs, 0));
}

void LoopAnimation::holdDelayButton(int direction, Qt::MouseButton button,
                                    Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    delayHeld_ = true;
    bool first = true;
    // The Ctrl key is read again at every repeat, so it can be pressed or let
    // go while the button is held.
    const auto step = [this, direction, modifiers, &first] {
        const Qt::KeyboardModifiers now = first ? modifiers : QGuiApplication::keyboardModifiers();
        first = false;
        setLoopDelay(
            steppedLoopDelay(display_.settings().LoopDelayMs, direction, core::shiftState(now)));
    };
    const QPointer<LoopAnimation> alive(this);
    core::HoldRepeat(
        this, display_.clock(), [this, alive] { return alive && delayHeld_; }, step);
}

} // namespace nubivista::display
