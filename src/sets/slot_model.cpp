#include "sets/slot_model.h"

namespace nubivista::sets {

namespace {

// Maps any whole number onto 1..20, counting round the ring.
int wrapToSlotRange(int value) {
    const int zeroBased = ((value - 1) % kSlotCount + kSlotCount) % kSlotCount;
    return zeroBased + 1;
}

} // namespace

int slotForTab(int tab, int ringOffset) {
    return wrapToSlotRange(tab + ringOffset);
}

int tabForSlot(int slot, int ringOffset) {
    return wrapToSlotRange(slot - ringOffset);
}

int filledCount(const SlotModel& model) {
    int count = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (model.slotFilled[slot] == 1)
            ++count;
    }
    return count;
}

int nextSlotToFill(int newestSlot) {
    return newestSlot + 1 > kSlotCount ? 1 : newestSlot + 1;
}

int advanceRing(SlotModel& model) {
    if (model.newestSlot + 1 <= kSlotCount) {
        ++model.newestSlot;
    } else {
        model.newestSlot = 1;
        if (model.wrapState == kFillingFirstTime)
            model.wrapState = kRingFull;
    }

    if (model.wrapState == kRingFull)
        model.ringOffset = model.ringOffset + 1 < kSlotCount ? model.ringOffset + 1 : 0;

    // The free slots left by a deletion are used up once the newest image
    // lands on the oldest one: from here the ring turns as usual.
    if (model.wrapState == kRingHasGaps && model.newestSlot == model.ringOffset + 1) {
        model.wrapState = kRingFull;
        model.ringOffset = model.newestSlot > kSlotCount - 1 ? 0 : model.newestSlot;
    }

    return tabForSlot(model.newestSlot, model.ringOffset);
}

void stepRingBack(SlotModel& model) {
    switch (model.wrapState) {
    case kFillingFirstTime:
        // A filling ring has nothing below slot 1; stay at "no newest slot"
        // rather than point before the first slot.
        if (model.newestSlot > 0)
            --model.newestSlot;
        break;
    case kRingFull:
        model.newestSlot = model.newestSlot - 1 < 1 ? kSlotCount : model.newestSlot - 1;
        model.ringOffset = model.ringOffset - 1 < 0 ? kSlotCount - 1 : model.ringOffset - 1;
        break;
    case kRingHasGaps:
        model.newestSlot = model.newestSlot - 1 < 1 ? kSlotCount : model.newestSlot - 1;
        break;
    default:
        break;
    }
}

} // namespace nubivista::sets
