// Feeds arbitrary bytes to the set record reader. Whatever it accepts must
// write back to the same record, and must keep the ring and the tabs inside
// the 20 slots however the ring is then turned.
#include "sets/set_record.h"
#include "sets/slot_model.h"

#include <QBuffer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace nubivista::sets;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

void requireSlotsInRange(const SlotModel& model) {
    require(model.newestSlot >= 0 && model.newestSlot <= kSlotCount);
    require(model.ringOffset >= 0 && model.ringOffset < kSlotCount);
    for (int tab = 1; tab <= kSlotCount; ++tab) {
        const int slot = slotForTab(tab, model.ringOffset);
        require(slot >= 1 && slot <= kSlotCount);
        require(tabForSlot(slot, model.ringOffset) == tab);
    }
    const int next = nextSlotToFill(model.newestSlot);
    require(next >= 1 && next <= kSlotCount);
}

// Writing an accepted record and reading it again gives the same record; the
// only bytes that may change are the unused elements 0, the site code (its
// writing rule) and the address (trimmed of spaces).
void checkAccepted(const SetRecord& record, QByteArrayView input) {
    const QByteArray written = encodeSetRecord(record);
    require(written.size() == kSetRecordSize);
    const SetRecordRead again = decodeSetRecord(written);
    require(again.record.has_value());
    SetRecord expected = record;
    expected.siteCode = again.record->siteCode;
    require(*again.record == expected);
    require(encodeSetRecord(*again.record) == written);

    const QByteArrayView kept = QByteArrayView(written);
    require(kept.sliced(0, 24) == input.sliced(0, 24));
    require(kept.sliced(284 + 8, 8 * kSlotCount) == input.sliced(284 + 8, 8 * kSlotCount));
    require(kept.sliced(452 + 2, 2 * kSlotCount) == input.sliced(452 + 2, 2 * kSlotCount));

    SlotModel model;
    model.ringOffset = record.ringOffset;
    model.wrapState = record.wrapState;
    model.newestSlot = record.newestSlot;
    model.slotFilled = record.slotFilled;
    requireSlotsInRange(model);
    SlotModel turned = model;
    for (int step = 0; step < 3 * kSlotCount; ++step) {
        const int tab = advanceRing(turned);
        require(tab >= 1 && tab <= kSlotCount);
        requireSlotsInRange(turned);
    }
    for (int step = 0; step < 3 * kSlotCount; ++step) {
        stepRingBack(model);
        requireSlotsInRange(model);
    }
}

void checkRead(QByteArrayView input) {
    const SetRecordRead read = decodeSetRecord(input);
    require(read.record.has_value() == read.error.isEmpty());
    if (read.record) {
        require(input.size() == kSetRecordSize);
        checkAccepted(*read.record, input);
    }

    QBuffer buffer;
    buffer.setData(input.toByteArray());
    require(buffer.open(QIODevice::ReadOnly));
    require(readSetRecord(buffer).record == read.record);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    checkRead(input);

    // Most inputs are not 494 bytes long; fitted to that size they reach the
    // field checks too.
    if (size != static_cast<std::size_t>(kSetRecordSize)) {
        QByteArray fitted =
            input.first(std::min<qsizetype>(input.size(), kSetRecordSize)).toByteArray();
        fitted.append(kSetRecordSize - fitted.size(), '\0');
        checkRead(fitted);
    }
    return 0;
}
