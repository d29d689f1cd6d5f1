#include "sets/pack_plan.h"

#include "core/ole_date.h"
#include "core/time_routines.h"
#include "sets/companion_files.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace nubivista::sets {

namespace {

bool holdsImage(const SlotModel& model, int slot) {
    return slot >= 1 && slot <= kSlotCount && model.slotFilled[slot] == 1;
}

void emptySlot(SlotModel& model, int slot) {
    model.slotFilled[slot] = 0;
    model.slotTime[slot] = 0;
}

// The local now minus 36 months: older than any image a download can bring.
OleDate longAgo(const core::Clock& clock) {
    const OleDate now = core::oleFromDateTime(clock.now()).value_or(0);
    return core::oleAddMonths(now, -36).value_or(now);
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A file the pack can work on: a plain file that opens for reading.
bool readableFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

// Empties every slot whose file is not there any more.
void forgetMissingFiles(SlotModel& model, const SlotFileName& slotFile,
                        const PackObserver& observer) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!holdsImage(model, slot) || QFileInfo(slotFile(slot)).isFile())
            continue;
        emptySlot(model, slot);
        if (observer.removed)
            observer.removed(slot);
    }
}

} // namespace

PackPlan planPack(const SlotModel& model, const TabFlags& checked, const core::Clock& clock) {
    PackPlan plan;
    plan.before = model;
    plan.result = model;
    const int ring = model.ringOffset;
    std::vector<int> keptTabs;
    std::vector<int> deletedTabs;
    for (int tab = 1; tab <= kSlotCount; ++tab) {
        if (holdsImage(model, slotForTab(tab, ring)))
            (checked[tab] ? deletedTabs : keptTabs).push_back(tab);
    }
    if (keptTabs.empty() && deletedTabs.empty())
        return plan;
    if (deletedTabs.empty()) {
        plan.status = PackPlan::Status::NoneChecked;
        return plan;
    }
    plan.status = PackPlan::Status::Ready;

    for (auto tab = deletedTabs.rbegin(); tab != deletedTabs.rend(); ++tab)
        plan.steps.push_back({PackStep::Kind::Delete, slotForTab(*tab, ring), 0});
    // Kept images keep their order; each lands on the lowest free tab.
    for (std::size_t i = 0; i < keptTabs.size(); ++i) {
        const int from = slotForTab(keptTabs[i], ring);
        const int to = slotForTab(static_cast<int>(i) + 1, ring);
        if (from != to)
            plan.steps.push_back({PackStep::Kind::Move, from, to});
    }
    for (const PackStep& step : plan.steps)
        applyPackStep(plan.result, step);

    SlotModel& result = plan.result;
    const int remaining = static_cast<int>(keptTabs.size());
    if (remaining > 0) {
        const int newest = slotForTab(remaining, ring);
        result.newestSlot = static_cast<std::int16_t>(newest);
        result.lastImageTime = core::utcToLocal(result.slotTime[newest], clock);
        plan.selectTab = remaining;
    } else {
        result.ringOffset = 0;
        result.wrapState = kFillingFirstTime;
        result.newestSlot = 0;
        result.lastImageTime = longAgo(clock);
        result.lastImageSize = -1;
        plan.selectTab = 1;
    }
    // New images fill the freed slots before the ring turns again.
    if (result.wrapState == kRingFull)
        result.wrapState = kRingHasGaps;
    return plan;
}

void applyPackStep(SlotModel& model, const PackStep& step) {
    if (step.kind == PackStep::Kind::Delete) {
        emptySlot(model, step.fromSlot);
        return;
    }
    model.slotFilled[step.toSlot] = 1;
    model.slotTime[step.toSlot] = model.slotTime[step.fromSlot];
    emptySlot(model, step.fromSlot);
}

PackOutcome carryOutPack(const PackPlan& plan, const SlotFileName& slotFile,
                         const PackObserver& observer) {
    PackOutcome outcome;
    outcome.model = plan.before;
    const auto fail = [&](QString error) {
        outcome.error = std::move(error);
        forgetMissingFiles(outcome.model, slotFile, observer);
        return outcome;
    };

    for (const PackStep& step : plan.steps) {
        if (!holdsImage(outcome.model, step.fromSlot))
            return fail(QStringLiteral("slot %1 holds no image").arg(step.fromSlot));
        const QString file = slotFile(step.fromSlot);
        if (!readableFile(file))
            return fail(QStringLiteral("cannot read %1").arg(file));
    }

    for (const PackStep& step : plan.steps) {
        if (observer.beforeStep)
            observer.beforeStep(outcome.stepsDone);
        const QString from = slotFile(step.fromSlot);
        if (step.kind == PackStep::Kind::Delete) {
            QFile file(from);
            if (!file.remove())
                return fail(QStringLiteral("cannot delete %1: %2").arg(from, file.errorString()));
            removeCompanions(from);
            applyPackStep(outcome.model, step);
            if (observer.removed)
                observer.removed(step.fromSlot);
        } else {
            const QString to = slotFile(step.toSlot);
            // Within one folder a rename either happens or not; it replaces
            // a left-over file of an empty slot.
            std::error_code error;
            std::filesystem::rename(fsPath(from), fsPath(to), error);
            if (error)
                return fail(QStringLiteral("cannot rename %1 to %2: %3")
                                .arg(from, to, QString::fromStdString(error.message())));
            moveCompanions(from, to);
            applyPackStep(outcome.model, step);
            if (observer.moved)
                observer.moved(step.fromSlot, step.toSlot);
        }
        ++outcome.stepsDone;
    }
    outcome.done = true;
    return outcome;
}

void settleRingAfterFailedPack(SlotModel& model) {
    if (!holdsImage(model, model.newestSlot)) {
        model.newestSlot = 0;
        for (int tab = kSlotCount; tab >= 1; --tab) {
            const int slot = slotForTab(tab, model.ringOffset);
            if (holdsImage(model, slot)) {
                model.newestSlot = static_cast<std::int16_t>(slot);
                break;
            }
        }
    }
    if (model.wrapState == kRingFull && filledCount(model) < kSlotCount)
        model.wrapState = kRingHasGaps;
}

ResetPlan planReset(const SlotModel& model, int selectedTab, const core::Clock& clock) {
    ResetPlan plan;
    plan.result = model;
    if (selectedTab < 1 || selectedTab >= kSlotCount)
        return plan;
    const int ring = model.ringOffset;
    for (int tab = selectedTab; tab >= 1; --tab) {
        if (!holdsImage(model, slotForTab(tab, ring))) {
            plan.status = ResetPlan::Status::GapBelow;
            return plan;
        }
    }
    plan.status = ResetPlan::Status::Ready;
    SlotModel& result = plan.result;
    for (int tab = kSlotCount; tab > selectedTab; --tab) {
        const int slot = slotForTab(tab, ring);
        plan.clearSlots.push_back(slot);
        emptySlot(result, slot);
    }
    const int newest = slotForTab(selectedTab, ring);
    result.lastImageTime = core::utcToLocal(result.slotTime[newest], clock);
    if (result.wrapState > kFillingFirstTime)
        result.wrapState = ring == 0 ? kFillingFirstTime : kRingHasGaps;
    result.newestSlot = static_cast<std::int16_t>(newest);
    return plan;
}

} // namespace nubivista::sets
