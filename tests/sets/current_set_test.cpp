#include "sets/current_set.h"
#include "sets/set_record.h"
#include "sets/set_test_support.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nubivista::sets;
using namespace nubivista::sets::testing;

TEST(SaveCurrentSet, WritesTheWholeRecordOnlyWhenASlotIsFilled) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    SlotModel empty = modelWithImages(0);
    empty.slotFilled[0] = 1; // carries no slot, so still nothing to save
    EXPECT_EQ(SaveCurrentSet(path, empty, 6).status, SaveOutcome::Status::NothingToSave);
    EXPECT_FALSE(QFileInfo::exists(path));

    const SlotModel model = modelWithImages(4);
    EXPECT_TRUE(SaveCurrentSet(path, model, 9).written());
    EXPECT_EQ(readBytes(path), encodeSetRecord(setRecordFromModel(model, 9)));
    EXPECT_EQ(readSetRecordFile(path).record->imageCount, 4);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("CurrSetRec.sis")});

    const QByteArray previous = readBytes(path);
    EXPECT_EQ(SaveCurrentSet(path, empty, 12).status, SaveOutcome::Status::NothingToSave);
    EXPECT_EQ(readBytes(path), previous);
}

TEST(SaveCurrentSet, AFailedWriteIsReportedAndKeepsTheOldFileWhole) {
    // A disk that fills up part-way through the record keeps the old record.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CurrSetRec.sis"));
    const QByteArray old = encodeSetRecord(setRecordFromModel(modelWithImages(7), 6));
    ASSERT_TRUE(writeBytes(path, old));
    {
        nubivista::testing::FileSizeLimit limit(100);
        const SaveOutcome outcome = SaveCurrentSet(path, modelWithImages(2), 6);
        EXPECT_EQ(outcome.status, SaveOutcome::Status::Failed);
        EXPECT_FALSE(outcome.error.isEmpty());
    }
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("CurrSetRec.sis")});
}

TEST(SlotImageFile, NamesSlotsOneToTwentyAndNoOther) {
    const QString base = QStringLiteral("/home/u/Loop Images/latest");
    EXPECT_EQ(SlotImageFile(base, 1), base + QStringLiteral("1.gif"));
    EXPECT_EQ(SlotImageFile(base, 20), base + QStringLiteral("20.gif"));
    for (const int slot : {0, 21, -1})
        EXPECT_EQ(SlotImageFile(base, slot), std::nullopt) << slot;
}
