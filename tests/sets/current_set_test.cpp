#include "sets/current_set.h"
#include "sets/set_record.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nubivista::sets;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

SlotModel modelWithImages(int count) {
    SlotModel model;
    for (int slot = 1; slot <= count; ++slot) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 45300.0 + slot / 144.0;
    }
    model.newestSlot = static_cast<std::int16_t>(count);
    model.lastImageTime = 45300.25;
    model.lastImageSize = 30211;
    model.paneUrl = QStringLiteral("http://radar.weather.gov/radar/latest/DS.p19r0/si.kmlb.shtml");
    model.siteCode = QStringLiteral("kmlb");
    return model;
}

} // namespace

TEST(SaveCurrentSet, WritesTheModelAsOneRecordThatReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    const SlotModel model = modelWithImages(4);

    const SaveOutcome outcome = SaveCurrentSet(path, model, 9);
    EXPECT_TRUE(outcome.written());
    EXPECT_EQ(fileBytes(path), encodeSetRecord(setRecordFromModel(model, 9)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("CurrSetRec.sis")});

    const SetRecordRead read = readSetRecordFile(path);
    ASSERT_TRUE(read.record);
    EXPECT_EQ(read.record->imageCount, 4);
    EXPECT_EQ(read.record->refreshIntervalMinutes, 9);
    EXPECT_EQ(read.record->newestSlot, 4);
    EXPECT_EQ(read.record->slotTime[4], model.slotTime[4]);
    EXPECT_EQ(read.record->slotFilled[5], 0);

    // A later save replaces the whole record.
    const SlotModel grown = modelWithImages(5);
    ASSERT_TRUE(SaveCurrentSet(path, grown, 9).written());
    EXPECT_EQ(readSetRecordFile(path).record->newestSlot, 5);
}

TEST(SaveCurrentSet, WithNoFilledSlotLeavesThePreviousFileUntouched) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    SlotModel empty = modelWithImages(0);
    empty.slotFilled[0] = 1; // carries no slot, so still nothing to save

    EXPECT_EQ(SaveCurrentSet(path, empty, 6).status, SaveOutcome::Status::NothingToSave);
    EXPECT_FALSE(QFileInfo::exists(path));

    ASSERT_TRUE(SaveCurrentSet(path, modelWithImages(3), 6).written());
    const QByteArray previous = fileBytes(path);
    EXPECT_EQ(SaveCurrentSet(path, empty, 12).status, SaveOutcome::Status::NothingToSave);
    EXPECT_EQ(fileBytes(path), previous);
}

TEST(SaveCurrentSet, AFailedWriteIsReportedAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const SlotModel model = modelWithImages(2);

    const QString inMissingFolder = dir.filePath(QStringLiteral("Loop Images/CurrSetRec.sis"));
    SaveOutcome outcome = SaveCurrentSet(inMissingFolder, model, 6);
    EXPECT_EQ(outcome.status, SaveOutcome::Status::Failed);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(inMissingFolder));

    const QString folderInTheWay = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("CurrSetRec.sis")));
    outcome = SaveCurrentSet(folderInTheWay, model, 6);
    EXPECT_EQ(outcome.status, SaveOutcome::Status::Failed);
    EXPECT_TRUE(QFileInfo(folderInTheWay).isDir());

    // A disk that fills up part-way through the record keeps the old record whole.
    const QString path = dir.filePath(QStringLiteral("Kept.sis"));
    const QByteArray old = encodeSetRecord(setRecordFromModel(modelWithImages(7), 6));
    writeBytes(path, old);
    {
        nubivista::testing::FileSizeLimit limit(100);
        outcome = SaveCurrentSet(path, model, 6);
    }
    EXPECT_EQ(outcome.status, SaveOutcome::Status::Failed);
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Kept.sis")});
}

TEST(SlotImageFile, NamesSlotsOneToTwentyAndNoOther) {
    const QString base = QStringLiteral("/home/u/Loop Images/latest");
    struct Case {
        int n;
        std::optional<QString> file;
    };
    const Case cases[] = {
        {1, QStringLiteral("/home/u/Loop Images/latest1.gif")},
        {9, QStringLiteral("/home/u/Loop Images/latest9.gif")},
        {10, QStringLiteral("/home/u/Loop Images/latest10.gif")},
        {20, QStringLiteral("/home/u/Loop Images/latest20.gif")},
        {0, std::nullopt},
        {21, std::nullopt},
        {-1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(SlotImageFile(base, c.n), c.file);
    }
}
