#include "sets/set_record.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <bit>
#include <gtest/gtest.h>
#include <limits>

using namespace nubivista::sets;

namespace {

// An address with a Windows-1252 letter and the euro sign, which sits at 0x80.
const QString kStoredAddress =
    QStringLiteral("http://radar.weather.gov/radar/latest/DS.p19r0/si.kmlb.shtml?c=Montr") +
    QChar(0x00E9) + QStringLiteral("al ") + QChar(0x20AC);

SetRecord sampleRecord() {
    SetRecord record;
    record.imageCount = 3;
    record.refreshIntervalMinutes = 6;
    record.wrapState = 1;
    record.ringOffset = 5;
    record.newestSlot = 3;
    record.lastImageTime = 45123.5625;
    record.lastImageSize = 48213;
    record.paneUrl = kStoredAddress;
    record.siteCode = QStringLiteral("kmlb");
    for (int slot = 1; slot <= 3; ++slot) {
        record.slotFilled[slot] = 1;
        record.slotTime[slot] = 45123.0 + slot / 96.0;
    }
    return record;
}

// The same record packed by Python's struct module, independent of our codec.
const char* const kPackSampleRecord = R"(
import struct, sys
url = 'http://radar.weather.gov/radar/latest/DS.p19r0/si.kmlb.shtml?c=Montr\u00e9al \u20ac'
times = [0.0] + [45123.0 + i / 96.0 if i <= 3 else 0.0 for i in range(1, 21)]
filled = [0] + [1 if i <= 3 else 0 for i in range(1, 21)]
sys.stdout.buffer.write(struct.pack('<hihhhdi256s4s21d21h', 3, 6, 1, 5, 3, 45123.5625, 48213,
    url.encode('cp1252').ljust(256, b' '), b'kmlb', *times, *filled))
)";

std::optional<QByteArray> runPython(const char* script) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(script)});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

void setInt16(QByteArray& bytes, qsizetype at, qint16 value) {
    qToLittleEndian<qint16>(value, bytes.data() + at);
}

void setDouble(QByteArray& bytes, qsizetype at, double value) {
    qToLittleEndian<quint64>(std::bit_cast<quint64>(value), bytes.data() + at);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(SetRecordLayout, MatchesARecordPackedIndependently) {
    const std::optional<QByteArray> packed = runPython(kPackSampleRecord);
    if (!packed)
        GTEST_SKIP() << "python3 is not available";
    ASSERT_EQ(packed->size(), kSetRecordSize);

    EXPECT_EQ(encodeSetRecord(sampleRecord()), *packed);
    const SetRecordRead read = decodeSetRecord(*packed);
    ASSERT_TRUE(read.record) << read.error.toStdString();
    EXPECT_EQ(*read.record, sampleRecord());
}

TEST(SetRecordLayout, PutsEachFieldAtItsOffset) {
    SetRecord record = sampleRecord();
    record.slotFilled[20] = 1;
    record.slotTime[20] = 1.0;
    const QByteArray bytes = encodeSetRecord(record);
    ASSERT_EQ(bytes.size(), 494);

    EXPECT_EQ(bytes.mid(0, 2), QByteArray::fromHex("0300"));     // ImageCount
    EXPECT_EQ(bytes.mid(2, 4), QByteArray::fromHex("06000000")); // RefreshIntervalMinutes
    EXPECT_EQ(bytes.mid(6, 6),
              QByteArray::fromHex("010005000300")); // WrapState, RingOffset, NewestSlot
    // 45123.5625 = 0x40E6087200000000
    EXPECT_EQ(bytes.mid(12, 8), QByteArray::fromHex("000000007208e640"));
    EXPECT_EQ(bytes.mid(20, 4), QByteArray::fromHex("55bc0000")); // 48213
    EXPECT_TRUE(bytes.mid(24, 256).startsWith("http://radar.weather.gov/radar/latest/"));
    // e acute and the euro sign in Windows-1252, then the space padding
    EXPECT_EQ(bytes.mid(24 + 68, 8), QByteArray("\xE9"
                                                "al \x80   ",
                                                8));
    EXPECT_EQ(bytes.at(279), ' ');
    EXPECT_EQ(bytes.mid(280, 4), QByteArray("kmlb"));
    EXPECT_EQ(bytes.mid(284, 8), QByteArray(8, '\0')); // SlotTime(0)
    EXPECT_EQ(bytes.mid(284 + 8 * 20, 8), QByteArray::fromHex("000000000000f03f"));
    EXPECT_EQ(bytes.mid(452, 2), QByteArray(2, '\0')); // SlotFilled(0)
    EXPECT_EQ(bytes.mid(452 + 2 * 3, 2), QByteArray::fromHex("0100"));
    EXPECT_EQ(bytes.mid(452 + 2 * 4, 2), QByteArray::fromHex("0000"));
    EXPECT_EQ(bytes.mid(452 + 2 * 20, 2), QByteArray::fromHex("0100"));
}

TEST(SetRecordLayout, AModelRoundTripsThroughTheRecord) {
    SlotModel model;
    model.ringOffset = 12;
    model.wrapState = kRingFull;
    model.newestSlot = 12;
    model.lastImageTime = 45200.75;
    model.lastImageSize = -1;
    model.paneUrl =
        QStringLiteral("http://radar.weather.gov/radar/images/DS.p19r0/SI.ktlx/latest.gif");
    model.siteImageUrl = model.paneUrl; // derived again by the reader's caller
    model.siteCode = QStringLiteral("KTLX");
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 45200.0 + slot / 48.0;
    }
    // Element 0 carries no slot; whatever the model holds there is not saved.
    model.slotFilled[0] = 9;
    model.slotTime[0] = 77.0;

    const SetRecord written = setRecordFromModel(model, 15);
    EXPECT_EQ(written.imageCount, 20);
    EXPECT_EQ(written.slotFilled[0], 0);
    EXPECT_EQ(written.slotTime[0], 0.0);

    const SetRecordRead read = decodeSetRecord(encodeSetRecord(written));
    ASSERT_TRUE(read.record) << read.error.toStdString();
    const SetRecord& back = *read.record;
    EXPECT_EQ(back.refreshIntervalMinutes, 15);
    EXPECT_EQ(back.ringOffset, 12);
    EXPECT_EQ(back.wrapState, kRingFull);
    EXPECT_EQ(back.newestSlot, 12);
    EXPECT_EQ(back.lastImageTime, 45200.75);
    EXPECT_EQ(back.lastImageSize, -1);
    EXPECT_EQ(back.paneUrl, model.paneUrl);
    EXPECT_EQ(back.siteCode, QStringLiteral("ktlx"));
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        EXPECT_EQ(back.slotFilled[slot], 1);
        EXPECT_EQ(back.slotTime[slot], model.slotTime[slot]);
    }
}

TEST(SetRecordText, SiteCodeIsKeptOnlyWhenItHasExactlyFourCharacters) {
    struct Case {
        QString siteCode;
        QByteArray field;
        QString readBack;
    };
    const Case cases[] = {
        {QStringLiteral("KMLB"), "kmlb", QStringLiteral("kmlb")},
        {QStringLiteral("kmlb"), "kmlb", QStringLiteral("kmlb")},
        {QStringLiteral("mlb"), "    ", QString()},
        {QString(), "    ", QString()},
        {QStringLiteral("kmlbx"), "    ", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.siteCode.toStdString());
        SetRecord record = sampleRecord();
        record.siteCode = c.siteCode;
        const QByteArray bytes = encodeSetRecord(record);
        EXPECT_EQ(bytes.mid(280, 4), c.field);
        const SetRecordRead read = decodeSetRecord(bytes);
        ASSERT_TRUE(read.record);
        EXPECT_EQ(read.record->siteCode, c.readBack);
    }
}

TEST(SetRecordText, ALongAddressIsCutAt256CharactersAndSpacesAreTrimmedOnReading) {
    SetRecord record = sampleRecord();
    record.paneUrl = QStringLiteral("http://x/") + QString(291, u'a');
    ASSERT_EQ(record.paneUrl.size(), 300);
    QByteArray bytes = encodeSetRecord(record);
    EXPECT_EQ(bytes.mid(24, 256), record.paneUrl.left(256).toLatin1());
    EXPECT_EQ(bytes.mid(280, 4), QByteArray("kmlb")); // the site code is not overrun
    EXPECT_EQ(decodeSetRecord(bytes).record->paneUrl, record.paneUrl.left(256));

    // Only spaces are trimmed, from both ends.
    bytes.replace(24, 256, QByteArray("  \thttp://y/  ").leftJustified(256, ' '));
    EXPECT_EQ(decodeSetRecord(bytes).record->paneUrl, QStringLiteral("\thttp://y/"));
}

TEST(SetRecordText, CharactersOutsideTheCodePageAreWrittenAsQuestionMarks) {
    SetRecord record = sampleRecord();
    record.paneUrl = QStringLiteral("http://z/") + QChar(0x4E2D) + QChar(0x0080);
    const QByteArray bytes = encodeSetRecord(record);
    EXPECT_EQ(bytes.mid(24, 12), QByteArray("http://z/?? "));
}

TEST(SetRecordRead, RefusesEveryLengthButExactly494Bytes) {
    const QByteArray good = encodeSetRecord(sampleRecord());
    for (qsizetype size : {0, 1, 493, 495, 988}) {
        SCOPED_TRACE(size);
        const QByteArray bytes = size <= good.size() ? good.left(size) : good.leftJustified(size);
        const SetRecordRead fromBytes = decodeSetRecord(bytes);
        EXPECT_FALSE(fromBytes.record);
        EXPECT_EQ(fromBytes.error, QStringLiteral(".sis Record File Was Contaminated."));

        QBuffer buffer;
        buffer.setData(bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        EXPECT_FALSE(readSetRecord(buffer).record);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Odd.sis"));
        writeBytes(path, bytes);
        const SetRecordRead fromFile = readSetRecordFile(path);
        EXPECT_FALSE(fromFile.record);
        EXPECT_EQ(fromFile.error, contaminatedRecordText());
        EXPECT_EQ(fileBytes(path), bytes); // refused, not changed
    }

    QBuffer buffer;
    buffer.setData(good);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_TRUE(readSetRecord(buffer).record);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    writeBytes(path, good);
    EXPECT_EQ(readSetRecordFile(path).record, sampleRecord());
}

TEST(SetRecordRead, AMissingFileIsRefusedAndNotCreated) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    const SetRecordRead read = readSetRecordFile(path);
    EXPECT_FALSE(read.record);
    EXPECT_EQ(read.error, contaminatedRecordText());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(readSetRecordFile(dir.path()).record); // a folder is no record
}

// A record of the right length whose values this program never writes would
// send the ring, the tabs or the date conversions out of range: it is refused
// as a whole, so nothing of it reaches the slot model.
TEST(SetRecordRead, RefusesValuesThatWouldLeadOutsideTheSlotsOrTheDateRange) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        qsizetype at;
        bool isDouble;
        double value;
        bool accepted;
    };
    const Case cases[] = {
        {"RingOffset 19", 8, false, 19, true},
        {"RingOffset 20", 8, false, 20, false},
        {"RingOffset -1", 8, false, -1, false},
        {"NewestSlot 0", 10, false, 0, true},
        {"NewestSlot 20", 10, false, 20, true},
        {"NewestSlot 21", 10, false, 21, false},
        {"NewestSlot -1", 10, false, -1, false},
        {"WrapState 2", 6, false, 2, true},
        {"WrapState 3", 6, false, 3, false},
        {"WrapState -1", 6, false, -1, false},
        {"SlotFilled(5) -1", 452 + 10, false, -1, false},
        {"SlotFilled(20) 2", 452 + 40, false, 2, false},
        {"SlotFilled(0) 7 is ignored", 452, false, 7, true},
        {"ImageCount -5 is ignored", 0, false, -5, true},
        {"SlotTime(7) NaN", 284 + 56, true, nan, false},
        {"SlotTime(1) infinite", 284 + 8, true, -inf, false},
        {"SlotTime(20) past year 9999", 284 + 160, true, 2958466.0, false},
        {"SlotTime(20) last second of 9999", 284 + 160, true, 2958465.99998, true},
        {"SlotTime(3) year 100", 284 + 24, true, -657434.0, true},
        {"SlotTime(3) before year 100", 284 + 24, true, -657435.0, false},
        {"SlotTime(0) NaN is ignored", 284, true, nan, true},
        {"LastImageTime NaN", 12, true, nan, false},
        {"LastImageTime 1e300", 12, true, 1e300, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = encodeSetRecord(sampleRecord());
        if (c.isDouble)
            setDouble(bytes, c.at, c.value);
        else
            setInt16(bytes, c.at, static_cast<qint16>(c.value));
        const SetRecordRead read = decodeSetRecord(bytes);
        EXPECT_EQ(read.record.has_value(), c.accepted);
        EXPECT_EQ(read.error, c.accepted ? QString() : contaminatedRecordText());
        if (read.record) {
            EXPECT_EQ(read.record->slotFilled[0], 0);
            EXPECT_EQ(read.record->slotTime[0], 0.0);
        }
    }
}
