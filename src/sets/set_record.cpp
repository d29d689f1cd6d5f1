#include "sets/set_record.h"

#include <QFile>
#include <QtEndian>
#include <bit>
#include <cmath>

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

// The date range a date value can hold: 100-01-01 up to the end of 9999-12-31.
constexpr double kEarliestDate = -657434.0;
constexpr double kEndOfLatestDate = 2958466.0;

// Windows-1252 characters of the bytes 0x80..0x9F. The five bytes the code
// page leaves undefined map to the control characters of the same number, so
// that every byte reads and writes back unchanged.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeCp1252(QChar character) {
    const char16_t code = character.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == code)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QChar decodeCp1252(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    if (code >= 0x80 && code < 0xA0)
        return QChar(kCp1252High[code - 0x80]);
    return QChar(code);
}

// Trims spaces only: other characters at the ends belong to the value.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

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
    for (qsizetype i = 0; i < fieldSize; ++i)
        out[at + i] = i < text.size() ? encodeCp1252(text[i]) : ' ';
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
    QString text(fieldSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < fieldSize; ++i)
        text[i] = decodeCp1252(in[at + i]);
    return trimSpaces(text);
}

bool isUsableDate(double value) {
    return std::isfinite(value) && value >= kEarliestDate && value < kEndOfLatestDate;
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
    if (!isUsableDate(record.lastImageTime))
        return false;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (record.slotFilled[slot] != 0 && record.slotFilled[slot] != 1)
            return false;
        if (!isUsableDate(record.slotTime[slot]))
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
    record.refreshIntervalMinutes = refreshIntervalMinutes;
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
