#pragma once
// A slot model of a process that has stored some images, shared by the set
// tests; the shared file helpers come along.
#include "sets/set_record.h"
#include "sets/slot_model.h"
#include "support/files.h"

namespace nubivista::sets::testing {

using nubivista::testing::readBytes;
using nubivista::testing::runPython;
using nubivista::testing::writeBytes;

// Images 1..count of site kmlb in slots 1..count, ten minutes apart.
inline SlotModel modelWithImages(int count) {
    SlotModel model;
    for (int slot = 1; slot <= count; ++slot) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 45300.0 + slot / 144.0;
    }
    model.newestSlot = static_cast<std::int16_t>(count);
    model.lastImageTime = 45300.25;
    model.lastImageSize = 30211;
    model.paneUrl = QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmlb.shtml");
    model.siteCode = QStringLiteral("kmlb");
    return model;
}

// The record a set of model and its refresh minutes is saved with.
inline QByteArray recordOf(const SlotModel& model, int minutes) {
    return encodeSetRecord(setRecordFromModel(model, minutes));
}

inline const QString kKmlbImageUrl =
    QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmlb/latest.gif");

// A full set of site kmlb whose ring has turned: RingOffset 5, NewestSlot 3.
inline SlotModel turnedRing(const QString& paneUrl = kKmlbImageUrl) {
    SlotModel model;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 46362.5 + slot / 1440.0;
    }
    model.ringOffset = 5;
    model.newestSlot = 3;
    model.wrapState = kRingFull;
    model.lastImageTime = 46362.4;
    model.lastImageSize = 10600;
    model.paneUrl = paneUrl;
    model.siteCode = QStringLiteral("kmlb");
    return model;
}

} // namespace nubivista::sets::testing
