// Deleting the checked images (and packing the rest down) and resetting the
// selected tab as the last image.
#include "core/form1.h"
#include "core/message_service.h"
#include "sets/pack_plan.h"
#include "sets/set_commands.h"

#include <QStringList>
#include <initializer_list>

namespace nubivista::sets {

namespace {

const QString kBreak = QStringLiteral("\r\n");

QString messageText(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* line : lines)
        parts << QString::fromLatin1(line);
    return kBreak + kBreak + parts.join(kBreak);
}

QString deleteWhileRunningText() {
    return messageText({"Use The -Shut-Down- Button To Halt ",
                        "The Current Running Process, Temporarily, ", "To Avoid Errors.",
                        "Then, Delete Checked Images."});
}

QString noneCheckedText() {
    return messageText({"Check The CheckBoxes Of The Images That",
                        "You Want To Delete, Before You Click The Delete Button."});
}

QString confirmDeleteText() {
    return messageText({"Confirm: ", "Do You Want To Delete The Images Which",
                        "Have Their Check-Boxes Checked?", "(And Pack-Down)"}) +
           kBreak;
}

QString deleteDoneText() {
    return messageText({"Delete And Pack Completed."});
}

QString deleteFailedText() {
    return messageText({"An Unknown Error Occurred, So,", "The Delete Process Was Aborted."});
}

QString resetWhileRunningText() {
    return messageText({"Use The -Shut-Down- Button To Halt ",
                        "The Current Running Process, Temporarily, ", "To Avoid Errors.",
                        "Then, Reset The Last Image"});
}

QString confirmResetText() {
    return messageText({"Do You Want To Reset The Last Image",
                        "To Keep, Equal To The Currently Selected Tab?",
                        "All Images Above It Will Be Cleared."});
}

QString gapBelowText() {
    return messageText({"Select The Last Image You Want To Keep.",
                        "(There Should Be No Tabs Without Images", "Below Your Selection)"});
}

constexpr int kConfirmDeleteId = 6;
constexpr int kDeleteDoneId = 7;
constexpr int kConfirmResetId = 12;

} // namespace

// ---- deleting checked images and resetting ----

bool SetCommands::processRunning() const {
    return peers_.refreshState && peers_.refreshState() > 0;
}

bool SetCommands::confirmed(const QString& text, int msgId) {
    return messages().isSuppressed(msgId) || messages().ShowMsgWind(4, text, msgId) == core::MsgYes;
}

void SetCommands::showSkipBoxes(int lastFilledTab, int fromTab) {
    if (!peers_.setSkipBox)
        return;
    for (int tab = fromTab; tab <= kSlotCount; ++tab)
        peers_.setSkipBox(tab, false, tab <= lastFilledTab);
}

void SetCommands::mnuDelete_Click() {
    if (processRunning()) {
        messages().ShowMsgWind(1, deleteWhileRunningText(), 0);
        return;
    }
    TabFlags checked{};
    for (int tab = 1; tab <= kSlotCount; ++tab)
        checked[tab] = peers_.skipChecked && peers_.skipChecked(tab);
    if (const PackPlan first = planPack(loop_.model(), checked, shell_.clock());
        first.status != PackPlan::Status::Ready) {
        if (first.status == PackPlan::Status::NoneChecked)
            messages().ShowMsgWind(1, noneCheckedText(), 0);
        return;
    }
    if (!confirmed(confirmDeleteText(), kConfirmDeleteId))
        return;
    // Planned again after the question, from the slots as they are now.
    const PackPlan plan = planPack(loop_.model(), checked, shell_.clock());
    if (plan.status != PackPlan::Status::Ready)
        return;

    // The slots follow the files step by step, so that they never claim a
    // file that has gone, whatever happens halfway.
    PackObserver observer;
    observer.removed = [this](int slot) { loop_.clearSlot(slot); };
    observer.moved = [this](int fromSlot, int toSlot) {
        const OleDate time = loop_.model().slotTime[fromSlot];
        loop_.clearSlot(fromSlot);
        loop_.storeImage(toSlot, time);
    };
    const PackOutcome outcome = carryOutPack(
        plan, [this](int slot) { return loop_.slotFile(slot); }, observer);
    if (!outcome.done) {
        // The record on disk keeps the previous set until the next save.
        loop_.updateModel([](SlotModel& model) { settleRingAfterFailedPack(model); });
        messages().ShowMsgWind(1, deleteFailedText(), 0);
        return;
    }

    loop_.updateModel([&plan](SlotModel& model) { model = plan.result; });
    showSkipBoxes(filledCount(plan.result));
    if (peers_.selectTab)
        peers_.selectTab(plan.selectTab);
    // The files are already renamed; a record that still describes the old
    // order must not be reported as a finished pack.
    if (loop_.save().status == SaveOutcome::Status::Failed) {
        messages().ShowMsgWind(1, deleteFailedText(), 0);
        return;
    }
    if (!messages().isSuppressed(kDeleteDoneId))
        messages().ShowMsgWind(2, deleteDoneText(), kDeleteDoneId);
}

void SetCommands::mnuReset_Click() {
    if (processRunning()) {
        messages().ShowMsgWind(1, resetWhileRunningText(), 0);
        return;
    }
    if (loop_.filledCount() == 0)
        return;
    if (!confirmed(confirmResetText(), kConfirmResetId))
        return;
    if (peers_.stopImagePolling)
        peers_.stopImagePolling();
    const int selected = peers_.selectedTab ? peers_.selectedTab() : 0;
    const ResetPlan plan = planReset(loop_.model(), selected, shell_.clock());
    if (plan.status == ResetPlan::Status::GapBelow)
        messages().ShowMsgWind(1, gapBelowText(), 0);
    if (plan.status != ResetPlan::Status::Ready)
        return;

    // The files of the emptied slots stay on disk, ignored.
    for (const int slot : plan.clearSlots)
        loop_.clearSlot(slot);
    loop_.updateModel([&plan](SlotModel& model) { model = plan.result; });
    showSkipBoxes(selected, selected + 1);
    if (peers_.selectTab)
        peers_.selectTab(selected);
    loop_.save();
}

} // namespace nubivista::sets
