// Saved sets on disk: the record's bytes against a record packed independently,
// what a read refuses, and its text fields; the name and folder rules, saving a
// set into its folder, bringing a set's images into the loop folder, and reading
// a record with its address rules. Every failure leaves what was on disk as it
// was.
#include "sets/companion_files.h"
#include "sets/current_set.h"
#include "sets/set_folders.h"
#include "sets/set_record.h"
#include "sets/set_test_support.h"
#include "support/file_size_limit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace nubivista::sets;
using namespace nubivista::sets::testing;
using nubivista::testing::FileSizeLimit;

namespace {

using nubivista::testing::folderContents;
using nubivista::testing::samplePicture;

class SetFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        loopDir = home.filePath(QStringLiteral("Loop Images"));
        setsDir = home.filePath(QStringLiteral("Saved Image Sets"));
        QDir().mkpath(loopDir);
        QDir().mkpath(setsDir);
        loopImgBase = loopDir + QStringLiteral("/latest");
    }

    // Puts sample image firstSample + i - 1 into the slot file i of base, for
    // every filled slot of model.
    void putImages(const SlotModel& model, const QString& base, int firstSample = 1) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (model.slotFilled[slot] == 1) {
                ASSERT_TRUE(writeBytes(*SlotImageFile(base, slot),
                                       readBytes(samplePicture(firstSample + slot - 1))));
            }
        }
    }

    SaveTarget newSet(const QString& title) {
        return saveTargetFor(setsDir + QStringLiteral("/") + title, title, false);
    }

    QTemporaryDir home;
    QString loopDir;
    QString setsDir;
    QString loopImgBase;
};

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

// The images are written first and the record last: when an image cannot be
// copied, the record of an existing set is not touched and a new set has none.
TEST_F(SetFoldersTest, AFailedSaveLeavesNeitherANewSetNorAChangedOne) {
    const SaveTarget fresh = newSet(QStringLiteral("Fresh.sis"));
    const SaveTarget existing = newSet(QStringLiteral("Old.sis"));
    putImages(modelWithImages(2), loopImgBase, 7);
    ASSERT_TRUE(saveSetToFolder(modelWithImages(2), 6, loopImgBase, existing).ok);
    const auto oldContents = folderContents(existing.setFolder);
    const SlotModel model = modelWithImages(3);
    putImages(model, loopImgBase);
    {
        FileSizeLimit limit(4000); // smaller than one image, larger than a record
        for (const SaveTarget& target : {fresh, existing}) {
            const FileWork work = saveSetToFolder(model, 6, loopImgBase, target);
            EXPECT_FALSE(work.ok);
            EXPECT_TRUE(work.detail.startsWith(QStringLiteral("Image Filecopy failed...")));
        }
    }
    EXPECT_FALSE(QFileInfo::exists(fresh.setFolder));
    EXPECT_EQ(folderContents(existing.setFolder), oldContents);

    // A folder where the record should go cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(fresh.recordPath));
    const FileWork work = saveSetToFolder(model, 6, loopImgBase, fresh);
    EXPECT_FALSE(work.ok);
    EXPECT_TRUE(work.detail.contains(fresh.recordPath));
    EXPECT_TRUE(QFileInfo(fresh.recordPath).isDir());
}

// The set's slots 1 and 3 over a loop folder holding slots 1, 2 and 3.
TEST_F(SetFoldersTest, OpeningCopiesTheSetsImagesOnlyWhenAllCanBeCopied) {
    const QString setFolder = setsDir + QStringLiteral("/Storm/");
    const QString third = setFolder + QStringLiteral("latest3.gif");
    SlotModel model = modelWithImages(3);
    model.slotFilled[2] = 0;
    putImages(model, setFolder + QStringLiteral("latest"), 4);
    putImages(modelWithImages(3), loopImgBase);
    const auto loopBefore = folderContents(loopDir);
    {
        FileSizeLimit limit(4000); // smaller than one image
        EXPECT_FALSE(copySetImagesToLoop(model, setFolder, loopImgBase).ok);
    }
    EXPECT_EQ(folderContents(loopDir), loopBefore);

    const QByteArray thirdImage = readBytes(third);
    ASSERT_TRUE(writeBytes(third, "not a picture"));
    FileWork work = copySetImagesToLoop(model, setFolder, loopImgBase);
    EXPECT_FALSE(work.ok);
    EXPECT_TRUE(work.detail.contains(third));
    EXPECT_EQ(folderContents(loopDir), loopBefore);

    ASSERT_TRUE(QFile::remove(third));
    work = copySetImagesToLoop(model, setFolder, loopImgBase);
    EXPECT_EQ(work.detail, QStringLiteral("File Does Not Exist...\r\n") + third);
    EXPECT_EQ(checkSlotImages(model, setFolder + QStringLiteral("latest")).detail, work.detail);
    EXPECT_EQ(folderContents(loopDir), loopBefore);

    ASSERT_TRUE(writeBytes(third, thirdImage));
    ASSERT_TRUE(copySetImagesToLoop(model, setFolder, loopImgBase).ok);
    const auto opened = folderContents(loopDir);
    ASSERT_EQ(opened.size(), 3u); // no temporaries left
    EXPECT_EQ(opened.at(QStringLiteral("latest1.gif")), readBytes(samplePicture(4)));
    EXPECT_EQ(opened.at(QStringLiteral("latest2.gif")),
              loopBefore.at(QStringLiteral("latest2.gif")));
    EXPECT_EQ(opened.at(QStringLiteral("latest3.gif")), readBytes(samplePicture(6)));

    // The loop folder itself opened as a set keeps its images.
    ASSERT_TRUE(copySetImagesToLoop(model, loopDir + QStringLiteral("/"), loopImgBase).ok);
    EXPECT_EQ(folderContents(loopDir), opened);
}

TEST_F(SetFoldersTest, StormCellsGoWithTheirImagesIntoASetAndBackAndStaleOnesGo) {
    const SlotModel model = modelWithImages(3);
    putImages(model, loopImgBase);
    const auto cellsOf = [](const QString& base, int slot) {
        return stormCellsFileOf(*SlotImageFile(base, slot));
    };
    for (const int slot : {1, 3})
        ASSERT_TRUE(writeBytes(cellsOf(loopImgBase, slot), "cells " + QByteArray::number(slot)));
    const SaveTarget target = newSet(QStringLiteral("Storm.sis"));
    const QString setBase = target.setFolder + QStringLiteral("/latest");
    // An earlier save of the set kept cells beside its second image.
    ASSERT_TRUE(writeBytes(cellsOf(setBase, 2), "cells of an earlier image"));

    ASSERT_TRUE(saveSetToFolder(model, 5, loopImgBase, target).ok);
    EXPECT_EQ(readBytes(cellsOf(setBase, 1)), "cells 1");
    EXPECT_EQ(readBytes(cellsOf(setBase, 3)), "cells 3");
    EXPECT_FALSE(QFileInfo::exists(cellsOf(setBase, 2)));

    // Opened over a loop whose second image had cells: the set's image has none.
    ASSERT_TRUE(writeBytes(cellsOf(loopImgBase, 2), "cells of the loop's image"));
    ASSERT_TRUE(QFile::remove(cellsOf(loopImgBase, 3)));
    ASSERT_TRUE(copySetImagesToLoop(model, target.setFolder + QStringLiteral("/"), loopImgBase).ok);
    EXPECT_FALSE(QFileInfo::exists(cellsOf(loopImgBase, 2)));
    EXPECT_EQ(readBytes(cellsOf(loopImgBase, 3)), "cells 3");
}

// Records too short or too long, and addresses off the radar site, are
// refused with their messages in set_commands_test.cpp.
TEST_F(SetFoldersTest, ARecordGivesItsRingAndTheAddressesOfItsStoredPage) {
    const QString page =
        QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/SI.kmlb.shtml");
    const QString image =
        QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmlb/latest.gif");
    const QString lowerPage =
        QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmlb.shtml");
    const struct {
        QString stored;
        bool navsGoToPageUrl;
        QString paneUrl;
    } table[] = {
        {page, false, image}, // upper-case SI. with the page option off
        {page, true, page},
        {image, false, image},
        {image, true, lowerPage},
        {QStringLiteral("http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmlb.shtml"), true,
         lowerPage},
        {QStringLiteral("  ") + page + QStringLiteral("  "), false, image},
    };
    SlotModel model = modelWithImages(20);
    model.ringOffset = 5;
    model.newestSlot = 3;
    model.wrapState = kRingFull;
    model.siteCode = QStringLiteral("KMLB");
    const QString path = setsDir + QStringLiteral("/x.sis");
    for (const auto& row : table) {
        SCOPED_TRACE(row.stored.toStdString());
        model.paneUrl = row.stored;
        ASSERT_TRUE(writeBytes(path, recordOf(model, 17)));
        const SetRecordLoad load = loadSetRecord(path, row.navsGoToPageUrl, QStringLiteral("x"));
        ASSERT_TRUE(load.ok());
        EXPECT_EQ(load.model.paneUrl, row.paneUrl);
        EXPECT_EQ(load.model.siteImageUrl, image);
        EXPECT_EQ(load.product.productCode, QStringLiteral("DS.p19r0"));
        EXPECT_EQ(load.refreshIntervalMinutes, 17);
        EXPECT_EQ(load.model.siteCode, QStringLiteral("kmlb"));
        EXPECT_EQ(std::tie(load.model.ringOffset, load.model.newestSlot, load.model.wrapState),
                  std::tie(model.ringOffset, model.newestSlot, model.wrapState));
        EXPECT_EQ(load.model.slotTime, model.slotTime);
    }
}

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
    EXPECT_TRUE(accepted([](SetRecord& r) { r.newestSlot = 0; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.newestSlot = -1; }));
    EXPECT_TRUE(accepted([](SetRecord& r) { r.wrapState = kRingHasGaps; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.wrapState = 3; }));
    EXPECT_FALSE(accepted([](SetRecord& r) { r.wrapState = -1; }));
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
