#pragma once
// Helpers shared by the set tests: whole-file reads and writes and a slot
// model of a process that has stored some images.
#include "sets/slot_model.h"

#include <QFile>

namespace nubivista::sets::testing {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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

} // namespace nubivista::sets::testing
