#include "sets/set_record.h"
#include "sets/set_test_support.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista::sets;
using namespace nubivista::sets::testing;

namespace {

// Three images, a turned ring, and an address with a Windows-1252 letter and
// the euro sign (byte 0x80). Element 0 of the arrays holds junk the record
// must not carry.
SetRecord sampleRecord() {
    SlotModel model = modelWithImages(3);
    model.wrapState = kRingFull;
    model.ringOffset = 5;
    model.paneUrl +=
        QStringLiteral("?c=Montr") + QChar(0x00E9) + QStringLiteral("al ") + QChar(0x20AC);
    model.slotFilled[0] = 9;
    model.slotTime[0] = 77.0;
    return setRecordFromModel(model, 6);
}

// The same record packed by Python's struct module, independent of our codec.
const char* const kPackSampleRecord = R"(
import struct, sys
url = 'http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmlb.shtml?c=Montr\u00e9al \u20ac'
times = [0.0] + [45300.0 + i / 144.0 if i <= 3 else 0.0 for i in range(1, 21)]
filled = [0] + [1 if i <= 3 else 0 for i in range(1, 21)]
sys.stdout.buffer.write(struct.pack('<hihhhdi256s4s21d21h', 3, 6, 1, 5, 3, 45300.25, 30211,
    url.encode('cp1252').ljust(256, b' '), b'kmlb', *times, *filled))
)";

} // namespace

TEST(SetRecordLayout, MatchesARecordPackedIndependentlyAndReadsBack) {
    const std::optional<QByteArray> packed = runPython(kPackSampleRecord);
    ASSERT_TRUE(packed) << "python3 fixture not produced";

    EXPECT_EQ(encodeSetRecord(sampleRecord()), *packed);
    const SetRecordRead read = decodeSetRecord(*packed);
    ASSERT_TRUE(read.record) << read.error.toStdString();
    EXPECT_EQ(*read.record, sampleRecord());
}

TEST(SetRecordText, SiteCodeOfFourCharactersAndAddressCutAt256AreSpacePadded) {
    // site code, its field, read back
    const std::tuple<const char*, QByteArray, const char*> codes[] = {
        {"KMLB", "kmlb", "kmlb"}, {"mlb", "    ", ""}, {"", "    ", ""}, {"kmlbx", "    ", ""}};
    for (const auto& [siteCode, field, readBack] : codes) {
        SetRecord record = sampleRecord();
        record.siteCode = QLatin1String(siteCode);
        const QByteArray bytes = encodeSetRecord(record);
        EXPECT_EQ(bytes.mid(280, 4), field) << siteCode;
        EXPECT_EQ(decodeSetRecord(bytes).record->siteCode, QLatin1String(readBack)) << siteCode;
    }

    SetRecord record = sampleRecord();
    record.paneUrl = QStringLiteral("http://x/") + QString(291, u'a');
    QByteArray bytes = encodeSetRecord(record);
    EXPECT_EQ(bytes.mid(24, 260), record.paneUrl.left(256).toLatin1() + "kmlb");
    EXPECT_EQ(decodeSetRecord(bytes).record->paneUrl, record.paneUrl.left(256));
    // Only spaces are trimmed; characters outside the code page are written as '?'.
    bytes.replace(24, 256, QByteArray("  \thttp://y/  ").leftJustified(256, ' '));
    EXPECT_EQ(decodeSetRecord(bytes).record->paneUrl, QStringLiteral("\thttp://y/"));
    record.paneUrl = QStringLiteral("http://z/") + QChar(0x4E2D) + QChar(0x0080);
    EXPECT_EQ(encodeSetRecord(record).mid(24, 12), QByteArray("http://z/?? "));
}

TEST(SetRecordRead, OnlyAFileOfExactly494BytesIsARecord) {
    QTemporaryDir dir;
    const QByteArray good = encodeSetRecord(sampleRecord());
    for (qsizetype size : {0, 493, 495}) {
        SCOPED_TRACE(size);
        const QByteArray bytes = size < good.size() ? good.left(size) : good + ' ';
        EXPECT_EQ(decodeSetRecord(bytes).error,
                  QStringLiteral(".sis Record File Was Contaminated."));
        const QString path = dir.filePath(QStringLiteral("Odd.sis"));
        ASSERT_TRUE(writeBytes(path, bytes));
        EXPECT_EQ(readSetRecordFile(path).error, contaminatedRecordText());
        EXPECT_EQ(readBytes(path), bytes); // refused, not changed
    }

    QBuffer longer; // a device is read one byte past the record to tell
    longer.setData(good + ' ');
    ASSERT_TRUE(longer.open(QIODevice::ReadOnly));
    EXPECT_FALSE(readSetRecord(longer).record);

    const QString missing = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    EXPECT_EQ(readSetRecordFile(missing).error, contaminatedRecordText());
    EXPECT_FALSE(QFileInfo::exists(missing)); // not created by the read
    EXPECT_FALSE(readSetRecordFile(dir.path()).record);

    ASSERT_TRUE(writeBytes(missing, good));
    EXPECT_EQ(readSetRecordFile(missing).record, sampleRecord());
}

// A record of the right length whose values this program never writes would
// send the ring, the tabs, the interval or the date conversions out of range:
// it is refused whole, so nothing of it reaches the slot model.
TEST(SetRecordRead, RefusesValuesThatWouldLeadOutsideTheSlotsOrTheDateRange) {
    const auto accepted = [](auto change) {
        SetRecord record = sampleRecord();
        change(record);
        const SetRecordRead read = decodeSetRecord(encodeSetRecord(record));
        EXPECT_EQ(read.error, read.record ? QString() : contaminatedRecordText());
        return read.record.has_value();
    };
    EXPECT_TRUE(accepted([](SetRecord& r) { r.ringOffset = 19; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.ringOffset = 20; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.ringOffset = -1; }));
    EXPECT_TRUE(accepted([](SetRecord& r) { r.newestSlot = 20; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.newestSlot = 21; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.wrapState = 3; }));
    EXPECT_TRUE(accepted([](SetRecord& r) { r.refreshIntervalMinutes = 180; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.refreshIntervalMinutes = 0; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.refreshIntervalMinutes = 181; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.slotFilled[20] = 2; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.slotTime[7] = std::nan(""); }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.slotTime[20] = 2958466.0; })); // past 9999
    EXPECT_FALSE(accepted([](SetRecord& r) { r.lastImageTime = 1e300; }));
    // ImageCount and element 0 of the arrays are never read.
    EXPECT_TRUE(accepted([](SetRecord& r) {
        r.imageCount = -5;
        r.slotFilled[0] = 7;
        r.slotTime[0] = std::nan("");
    }));
    // What the program writes always reads back.
    EXPECT_EQ(setRecordFromModel(modelWithImages(1), 0).refreshIntervalMinutes, 1);
    EXPECT_EQ(setRecordFromModel(modelWithImages(1), 500).refreshIntervalMinutes, 180);
}
