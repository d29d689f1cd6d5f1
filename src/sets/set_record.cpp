#include "sets/set_record.h"

#include "core/ansi_text.h"
#include "core/ole_date.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <bit>

namespace nubivista::sets {

namespace {

// Field offsets of the record.
constexpr qsizetype kImageCountAt = 0;
constexpr qsizetype kRefreshIntervalAt = 2;
constexpr qsizetype kWrapStateAt = 6;
constexpr qsizetype kRingOffsetAt = 8;
constexpr qsizetype kNewestSlotAt = 10;
constexpr qsizetype kLastImageTimeAt = 12;
constexpr qsizetype kLastImageSizeAt = 20;
constexpr qsizetype kPaneUrlAt = 24;
constexpr qsizetype kSiteCodeAt = 280;
constexpr qsizetype kSlotTimeAt = 284;
constexpr qsizetype kSlotFilledAt = 452;
static_assert(kSlotFilledAt + 2 * kSlotArraySize == kSetRecordSize);

void putInt16(QByteArray& out, qsizetype at, std::int16_t value) {
    qToLittleEndian<qint16>(value, out.data() + at);
}

void putInt32(QByteArray& out, qsizetype at, std::int32_t value) {
    qToLittleEndian<qint32>(value, out.data() + at);
}

void putDouble(QByteArray& out, qsizetype at, double value) {
    qToLittleEndian<quint64>(std::bit_cast<quint64>(value), out.data() + at);
}

// Writes text into a field of fieldSize bytes, cut and padded with spaces.
void putText(QByteArray& out, qsizetype at, qsizetype fieldSize, const QString& text) {
    out.replace(at, fieldSize, core::encodeWindows1252(text, fieldSize));
}

std::int16_t getInt16(QByteArrayView in, qsizetype at) {
    return qFromLittleEndian<qint16>(in.data() + at);
}

std::int32_t getInt32(QByteArrayView in, qsizetype at) {
    return qFromLittleEndian<qint32>(in.data() + at);
}

double getDouble(QByteArrayView in, qsizetype at) {
    return std::bit_cast<double>(qFromLittleEndian<quint64>(in.data() + at));
}

QString getText(QByteArrayView in, qsizetype at, qsizetype fieldSize) {
    return core::trimSpaces(core::decodeWindows1252(in.sliced(at, fieldSize)));
}

// True when every value that later code uses as an index or converts as a
// date is one this program could have written.
bool holdsUsableValues(const SetRecord& record) {
    if (record.ringOffset < 0 || record.ringOffset >= kSlotCount)
        return false;
    if (record.newestSlot < 0 || record.newestSlot > kSlotCount)
        return false;
    if (record.wrapState < kFillingFirstTime || record.wrapState > kRingHasGaps)
        return false;
    // Later code multiplies the interval into minutes of date arithmetic.
    if (record.refreshIntervalMinutes < kMinRefreshIntervalMinutes ||
        record.refreshIntervalMinutes > kMaxRefreshIntervalMinutes)
        return false;
    if (!core::isValidOleDate(record.lastImageTime))
        return false;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (record.slotFilled[slot] != 0 && record.slotFilled[slot] != 1)
            return false;
        if (!core::isValidOleDate(record.slotTime[slot]))
            return false;
    }
    return true;
}

SetRecordRead refused() {
    return {std::nullopt, contaminatedRecordText()};
}

} // namespace

QString contaminatedRecordText() {
    return QStringLiteral(".sis Record File Was Contaminated.");
}

SetRecord setRecordFromModel(const SlotModel& model, std::int32_t refreshIntervalMinutes) {
    SetRecord record;
    record.imageCount = static_cast<std::int16_t>(filledCount(model));
    record.refreshIntervalMinutes =
        std::clamp(refreshIntervalMinutes, kMinRefreshIntervalMinutes, kMaxRefreshIntervalMinutes);
    record.wrapState = model.wrapState;
    record.ringOffset = model.ringOffset;
    record.newestSlot = model.newestSlot;
    record.lastImageTime = model.lastImageTime;
    record.lastImageSize = model.lastImageSize;
    record.paneUrl = model.paneUrl;
    record.siteCode = model.siteCode;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        record.slotTime[slot] = model.slotTime[slot];
        record.slotFilled[slot] = model.slotFilled[slot];
    }
    return record; // element 0 of both arrays stays 0
}

QByteArray encodeSetRecord(const SetRecord& record) {
    QByteArray out(kSetRecordSize, '\0');
    putInt16(out, kImageCountAt, record.imageCount);
    putInt32(out, kRefreshIntervalAt, record.refreshIntervalMinutes);
    putInt16(out, kWrapStateAt, record.wrapState);
    putInt16(out, kRingOffsetAt, record.ringOffset);
    putInt16(out, kNewestSlotAt, record.newestSlot);
    putDouble(out, kLastImageTimeAt, record.lastImageTime);
    putInt32(out, kLastImageSizeAt, record.lastImageSize);
    putText(out, kPaneUrlAt, kPaneUrlFieldSize, record.paneUrl);
    const QString siteCode =
        record.siteCode.size() == kSiteCodeFieldSize ? record.siteCode.toLower() : QString();
    putText(out, kSiteCodeAt, kSiteCodeFieldSize, siteCode);
    for (int i = 0; i < kSlotArraySize; ++i) {
        putDouble(out, kSlotTimeAt + 8 * i, record.slotTime[i]);
        putInt16(out, kSlotFilledAt + 2 * i, record.slotFilled[i]);
    }
    return out;
}

SetRecordRead decodeSetRecord(QByteArrayView bytes) {
    if (bytes.size() != kSetRecordSize)
        return refused();

    SetRecord record;
    record.imageCount = getInt16(bytes, kImageCountAt);
    record.refreshIntervalMinutes = getInt32(bytes, kRefreshIntervalAt);
    record.wrapState = getInt16(bytes, kWrapStateAt);
    record.ringOffset = getInt16(bytes, kRingOffsetAt);
    record.newestSlot = getInt16(bytes, kNewestSlotAt);
    record.lastImageTime = getDouble(bytes, kLastImageTimeAt);
    record.lastImageSize = getInt32(bytes, kLastImageSizeAt);
    record.paneUrl = getText(bytes, kPaneUrlAt, kPaneUrlFieldSize);
    record.siteCode = getText(bytes, kSiteCodeAt, kSiteCodeFieldSize);
    // Element 0 carries no slot and may hold anything; it is not taken.
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        record.slotTime[slot] = getDouble(bytes, kSlotTimeAt + 8 * slot);
        record.slotFilled[slot] = getInt16(bytes, kSlotFilledAt + 2 * slot);
    }

    if (!holdsUsableValues(record))
        return refused();
    return {std::move(record), {}};
}

SetRecordRead readSetRecord(QIODevice& device) {
    // One byte more than a record is enough to tell a longer input apart.
    QByteArray bytes;
    while (bytes.size() <= kSetRecordSize) {
        const QByteArray chunk = device.read(kSetRecordSize + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    return decodeSetRecord(bytes);
}

SetRecordRead readSetRecordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused();
    if (file.size() != kSetRecordSize)
        return refused();
    return readSetRecord(file);
}

} // namespace nubivista::sets
