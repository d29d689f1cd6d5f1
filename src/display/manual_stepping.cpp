#include "display/manual_stepping.h"

#include "core/form1.h"
#include "core/wait_ticks.h"
#include "display/loop_animation.h"
#include "display/loop_display.h"
#include "display/loop_sequence.h"
#include "display/tab_display.h"
#include "sets/loop_set.h"

#include <QPointer>

namespace nubivista::display {

namespace {

constexpr int kSearchWaitMs = 10;
constexpr int kFirstPauseMs = 750;
constexpr int kRepeatPauseMs = 40;

} // namespace

ManualStepping::ManualStepping(LoopDisplay& display) : display_(display) {
    DisplayControls& c = display_.controls();
    connect(c.Command60, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton button) { StepTab(-1, button); });
    connect(c.Command61, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton button) { StepTab(+1, button); });
    connect(c.Command60, &core::PressButton::mouseUp, this, [this] { Command60_MouseUp(); });
    connect(c.Command61, &core::PressButton::mouseUp, this, [this] { Command61_MouseUp(); });

    core::Form1& shell = display_.shell();
    shell.registerToolTip(
        c.Command60,
        QStringLiteral(
            "Single-Step Lower Tab Click  (Hold To Loop Manually) (Right-Click To Wrap)"));
    shell.registerToolTip(
        c.Command61,
        QStringLiteral(
            "Single-Step Higher Tab Click  (Hold To Loop Manually) (Right-Click To Wrap)"));
}

void ManualStepping::Command60_MouseUp() {
    held_ = false;
}

void ManualStepping::Command61_MouseUp() {
    held_ = false;
}

bool ManualStepping::stillHeld() const {
    return held_ && !display_.animation().running();
}

bool ManualStepping::stepTarget(int tab) const {
    if (display_.controls().Check4[tab]->isChecked())
        return false;
    // Through the ring, like every other view of the tabs: after checked
    // images were deleted from a turned ring the slot numbers no longer match
    // the tabs, and the raw slot number would stop on empty tabs.
    const sets::LoopSet& loop = display_.loop();
    return loop.filled(loop.slotForTab(tab));
}

void ManualStepping::StepTab(int direction, Qt::MouseButton button) {
    const int wrapTarget = stepWrapTarget(direction, button == Qt::LeftButton);
    held_ = true;
    bool firstStep = true;
    int pause = kFirstPauseMs;
    const core::Clock& clock = display_.clock();
    const QPointer<ManualStepping> alive(this);
    do {
        int cur = display_.tabs().selectedTab();
        // The first step of a press moves at once, so a click whose release
        // comes with its press (a tap) still steps. Later steps wait before
        // their first move, and every search waits once per lap of the tabs:
        // passing empty tabs costs no time, so a quick click still wraps
        // round, and with the left button at the end of the images it keeps
        // looking every 10 ms until the release, seen during the waits.
        int moves = firstStep ? 1 : 0;
        do {
            if (moves % kLoopTabs == 0) {
                core::WaitTicks(kSearchWaitMs, clock);
                if (!alive || !stillHeld())
                    return;
            }
            cur = stepSearchMove(cur, direction, wrapTarget);
            ++moves;
        } while (!stepTarget(cur));
        firstStep = false;

        display_.tabs().selectTab(cur);
        core::WaitTicks(pause, clock);
        if (!alive)
            return;
        pause = kRepeatPauseMs;
    } while (stillHeld());
}

} // namespace nubivista::display
