// The slot ring and the loop model: the twenty-first image, replace steps
// and deletions; slots with their decoded pictures, the current set on disk,
// and the signals the views repaint on; the current set record written whole.
#include "sets/current_set.h"
#include "sets/loop_set.h"
#include "sets/set_record.h"
#include "sets/set_test_support.h"
#include "sets/slot_model.h"
#include "support/file_size_limit.h"
#include "support/files.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

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

namespace {

// Stores one new image the way the refresh cycle does: into the next slot,
// then turns the ring. Returns the new image's tab.
int storeNewImage(SlotModel& model, OleDate time) {
    const int slot = nextSlotToFill(model.newestSlot);
    model.slotFilled[slot] = 1;
    model.slotTime[slot] = time;
    return advanceRing(model);
}

struct Ring {
    std::int16_t newestSlot, ringOffset, wrapState;
};

void expectRing(const SlotModel& model, Ring ring) {
    EXPECT_EQ(std::tuple(model.newestSlot, model.ringOffset, model.wrapState),
              std::tuple(ring.newestSlot, ring.ringOffset, ring.wrapState));
}

SlotModel modelAt(Ring ring) {
    SlotModel model;
    model.newestSlot = ring.newestSlot;
    model.ringOffset = ring.ringOffset;
    model.wrapState = ring.wrapState;
    return model;
}

} // namespace

TEST(SlotRing, TabsAndSlotsMapBothWaysAroundTheRing) {
    const std::tuple<int, int, int> cases[] = {// ring offset, tab, slot
                                               {0, 1, 1},   {0, 20, 20}, {5, 1, 6},
                                               {5, 15, 20}, {5, 16, 1},  {5, 20, 5},
                                               {19, 1, 20}, {19, 2, 1},  {1, 20, 1}};
    for (const auto& [offset, tab, slot] : cases) {
        SCOPED_TRACE(::testing::Message() << "offset " << offset << " tab " << tab);
        EXPECT_EQ(slotForTab(tab, offset), slot);
        EXPECT_EQ(tabForSlot(slot, offset), tab);
    }
    EXPECT_EQ(tabForSlot(3, 5), 18); // a set read with NewestSlot 3 selects tab 18
    // An offset outside the ring still names a slot, never 0 or 21.
    EXPECT_EQ(slotForTab(1, 25), 6);
    EXPECT_EQ(slotForTab(1, -1), 20);
}

TEST(SlotRing, TheTwentyFirstImageGoesToSlotOneAndReplaceStepsBackToSlotTwenty) {
    SlotModel model;
    for (int n = 1; n <= kSlotCount; ++n)
        EXPECT_EQ(storeNewImage(model, n), n);
    expectRing(model, {20, 0, kFillingFirstTime});

    EXPECT_EQ(storeNewImage(model, 21), 20);
    expectRing(model, {1, 1, kRingFull});
    stepRingBack(model);
    expectRing(model, {20, 0, kRingFull});
    // The refreshed image takes the replaced one's slot and tab.
    EXPECT_EQ(storeNewImage(model, 21.5), 20);
    expectRing(model, {1, 1, kRingFull});

    // From here every image lands on tab 20 and the tabs stay in time order.
    for (int n = 22; n <= 67; ++n)
        EXPECT_EQ(storeNewImage(model, n), 20);
    expectRing(model, {7, 7, kRingFull});
    for (int tab = 1; tab <= kSlotCount; ++tab)
        EXPECT_EQ(model.slotTime[slotForTab(tab, model.ringOffset)], 47 + tab);
}

TEST(SlotRing, ReplaceStepsBackInEveryWrapState) {
    const std::pair<Ring, Ring> cases[] = {
        {{7, 0, kFillingFirstTime}, {6, 0, kFillingFirstTime}},
        {{0, 0, kFillingFirstTime}, {0, 0, kFillingFirstTime}}, // never below "none"
        {{9, 9, kRingFull}, {8, 8, kRingFull}},
        {{1, 0, kRingFull}, {20, 19, kRingFull}},
        {{4, 5, kRingHasGaps}, {3, 5, kRingHasGaps}},
        {{1, 5, kRingHasGaps}, {20, 5, kRingHasGaps}},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << before.newestSlot << "/" << before.ringOffset << "/" << before.wrapState);
        SlotModel model = modelAt(before);
        stepRingBack(model);
        expectRing(model, after);
    }
}

TEST(SlotRing, AfterADeletionFreeSlotsFillBeforeTheRingTurnsAgain) {
    // Seventeen images on tabs 1..17 of a ring turned by 5: slots 6..20, 1, 2.
    SlotModel model = modelAt({2, 5, kRingHasGaps});
    for (int expectedTab : {18, 19, 20})
        EXPECT_EQ(storeNewImage(model, expectedTab), expectedTab);
    expectRing(model, {5, 5, kRingHasGaps});
    // The next image overwrites the oldest (slot 6): the ring turns again.
    EXPECT_EQ(storeNewImage(model, 21), 20);
    expectRing(model, {6, 6, kRingFull});
    EXPECT_EQ(storeNewImage(model, 22), 20);
    expectRing(model, {7, 7, kRingFull});

    // Nineteen images on tabs 1..19 of a ring turned by 19 (slots 20, 1..18):
    // leaving the gap state at slot 20 turns the offset to 0.
    model = modelAt({18, 19, kRingHasGaps});
    EXPECT_EQ(storeNewImage(model, 1), 20);
    expectRing(model, {19, 19, kRingHasGaps});
    EXPECT_EQ(storeNewImage(model, 2), 20);
    expectRing(model, {20, 0, kRingFull});
}
