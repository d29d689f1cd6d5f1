// The loop model: slots with their decoded pictures, the current set on disk,
// and the signals the views repaint on; the current set record written whole.
#include "sets/current_set.h"
#include "sets/loop_set.h"
#include "sets/set_record.h"
#include "sets/set_test_support.h"
#include "support/file_size_limit.h"
#include "support/files.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nubivista;
using namespace nubivista::sets;

namespace {

class LoopSetTest : public ::testing::Test {
protected:
    QString recPath() const { return dir.filePath(QStringLiteral("CurrSetRec.sis")); }
    void putSample(int slot, int n) {
        QFile::remove(loop.slotFile(slot));
        ASSERT_TRUE(QFile::copy(nubivista::testing::samplePicture(n), loop.slotFile(slot)));
    }

    QTemporaryDir dir;
    LoopSet loop{recPath(), dir.filePath(QStringLiteral("latest")), [] { return 7; }};
};

} // namespace

TEST_F(LoopSetTest, MissingDamagedAndHugeFilesGiveNoPicture) {
    loop.storeImage(1, 46362.5);
    EXPECT_TRUE(loop.filled(1));
    EXPECT_TRUE(loop.picture(1).isNull());

    ASSERT_TRUE(nubivista::testing::writeBytes(loop.slotFile(2), QByteArray("GIF89a\x58\x02", 8)));
    EXPECT_FALSE(loop.loadPicture(2));
    EXPECT_TRUE(loop.picture(2).isNull());

    // A picture far larger than any radar image is refused before decoding.
    QImage huge(kMaxPictureSide + 1, 8, QImage::Format_RGB32);
    huge.fill(Qt::red);
    ASSERT_TRUE(huge.save(loop.slotFile(4), "PNG"));
    EXPECT_FALSE(loop.loadPicture(4));
    EXPECT_TRUE(loop.picture(4).isNull());
}

TEST_F(LoopSetTest, TheCurrentSetIsRewrittenOnATimeChangeAndKeptWhenTheSlotsEmpty) {
    putSample(1, 1);
    putSample(2, 2);
    loop.storeImage(1, 46362.5);
    loop.storeImage(2, 46362.6);
    ASSERT_TRUE(loop.save().written());
    loop.setSlotTime(2, 46362.7);
    const SetRecordRead read = readSetRecordFile(recPath());
    ASSERT_TRUE(read.record.has_value()) << read.error.toStdString();
    EXPECT_DOUBLE_EQ(read.record->slotTime[2], 46362.7);
    EXPECT_EQ(read.record->refreshIntervalMinutes, 7);

    // Emptying the slots (a new start) leaves the record for a later reload.
    const QByteArray before = nubivista::testing::readBytes(recPath());
    QSignalSpy reset(&loop, &LoopSet::modelReset);
    loop.clearAll();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(loop.save().status, SaveOutcome::Status::NothingToSave);
    EXPECT_EQ(nubivista::testing::readBytes(recPath()), before);
}

TEST_F(LoopSetTest, AReplacedModelDecodesItsFilledSlotsOnly) {
    putSample(1, 1);
    putSample(5, 5);
    SlotModel model;
    model.slotFilled[1] = 1;
    model.slotFilled[5] = 1;
    model.ringOffset = 4;
    model.newestSlot = 5;
    QSignalSpy reloaded(&loop, &LoopSet::picturesReloaded);
    loop.replaceModel(model);
    EXPECT_EQ(reloaded.count(), 1);
    EXPECT_FALSE(loop.picture(1).isNull());
    EXPECT_FALSE(loop.picture(5).isNull());
    EXPECT_TRUE(loop.picture(2).isNull());
    // Tab 1 shows the slot after the ring offset.
    EXPECT_EQ(loop.slotForTab(1), 5);
    EXPECT_EQ(loop.tabForSlot(1), 17);
}

TEST(SaveCurrentSet, WritesTheWholeRecordOnlyWhenASlotIsFilled) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    SlotModel empty = sets::testing::modelWithImages(0);
    empty.slotFilled[0] = 1; // carries no slot, so still nothing to save
    EXPECT_EQ(SaveCurrentSet(path, empty, 6).status, SaveOutcome::Status::NothingToSave);
    EXPECT_FALSE(QFileInfo::exists(path));

    const SlotModel model = sets::testing::modelWithImages(4);
    EXPECT_TRUE(SaveCurrentSet(path, model, 9).written());
    EXPECT_EQ(sets::testing::readBytes(path), encodeSetRecord(setRecordFromModel(model, 9)));
    EXPECT_EQ(readSetRecordFile(path).record->imageCount, 4);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("CurrSetRec.sis")});

    const QByteArray previous = sets::testing::readBytes(path);
    EXPECT_EQ(SaveCurrentSet(path, empty, 12).status, SaveOutcome::Status::NothingToSave);
    EXPECT_EQ(sets::testing::readBytes(path), previous);
}

TEST(SaveCurrentSet, AFailedWriteIsReportedAndKeepsTheOldFileWhole) {
    // A disk that fills up part-way through the record keeps the old record.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    const QByteArray old =
        encodeSetRecord(setRecordFromModel(sets::testing::modelWithImages(7), 6));
    ASSERT_TRUE(sets::testing::writeBytes(path, old));
    {
        nubivista::testing::FileSizeLimit limit(100);
        const SaveOutcome outcome = SaveCurrentSet(path, sets::testing::modelWithImages(2), 6);
        EXPECT_EQ(outcome.status, SaveOutcome::Status::Failed);
        EXPECT_FALSE(outcome.error.isEmpty());
    }
    EXPECT_EQ(sets::testing::readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("CurrSetRec.sis")});
}
