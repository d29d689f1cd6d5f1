// Deleting checked images and packing the rest down, planned and carried out
// on files in a folder, and cutting the loop off above a tab.
#include "core/ole_date.h"
#include "sets/companion_files.h"
#include "sets/pack_plan.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/scoped_time_zone.h"

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista;
using namespace nubivista::sets;
using nubivista::testing::FileSizeLimit;
using nubivista::testing::readBytes;
using nubivista::testing::ScopedTimeZone;
using nubivista::testing::writeBytes;

namespace {

constexpr OleDate kFirstTime = 46362.5; // 12:00 UTC, 6 December 2026
constexpr OleDate kEst5 = 5.0 / 24;     // the plans run in EST5: local = UTC - 5 h

// count images on tabs 1..count with the given ring offset; the image first
// shown on tab t is stamped t minutes after kFirstTime.
SlotModel modelOnTabs(int count, int ring, std::int16_t wrapState = kFillingFirstTime) {
    SlotModel model;
    model.ringOffset = static_cast<std::int16_t>(ring);
    model.wrapState = wrapState;
    for (int tab = 1; tab <= count; ++tab) {
        const int slot = slotForTab(tab, ring);
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = kFirstTime + tab / 1440.0;
    }
    model.newestSlot = static_cast<std::int16_t>(count > 0 ? slotForTab(count, ring) : 0);
    model.lastImageSize = 30211;
    model.lastImageTime = 46362.25;
    return model;
}

TabFlags tabs(std::initializer_list<int> list) {
    TabFlags flags{};
    for (const int tab : list)
        flags[tab] = true;
    return flags;
}

std::vector<int> tabRange(int first, int last) {
    std::vector<int> range;
    for (int tab = first; tab <= last; ++tab)
        range.push_back(tab);
    return range;
}

int formerTabOf(const SlotModel& model, int slot) {
    return static_cast<int>(std::lround((model.slotTime[slot] - kFirstTime) * 1440.0));
}

// The former tab of the image each filled tab now shows (0 for an empty tab).
std::vector<int> formerTabsShown(const SlotModel& model) {
    std::vector<int> shown;
    for (int tab = 1; tab <= kSlotCount; ++tab) {
        const int slot = slotForTab(tab, model.ringOffset);
        shown.push_back(model.slotFilled[slot] == 1 ? formerTabOf(model, slot) : 0);
    }
    while (!shown.empty() && shown.back() == 0)
        shown.pop_back();
    return shown;
}

} // namespace

// ---- carrying a plan out in a folder ----

namespace {

class PackFolderTest : public ::testing::Test {
protected:
    QString slotFile(int slot) const {
        return dir->filePath(QStringLiteral("latest%1.gif").arg(slot));
    }
    static QByteArray bytesOfFormerTab(int tab) {
        return QByteArray("GIF89a image first on tab ") + QByteArray::number(tab);
    }
    // Starts a fresh folder, writes each image's file and keeps its model.
    void makeImages(int count, int ring = 0) {
        dir.emplace();
        model = modelOnTabs(count, ring);
        for (int tab = 1; tab <= count; ++tab)
            ASSERT_TRUE(writeBytes(slotFile(slotForTab(tab, ring)), bytesOfFormerTab(tab)));
    }
    PackOutcome run(const TabFlags& checked) {
        const PackPlan plan = planPack(model, checked, core::ManualClock());
        PackObserver observer;
        observer.beforeStep = hook;
        observer.removed = [this](int slot) { follower.slotFilled[slot] = 0; };
        observer.moved = [this](int from, int to) {
            follower.slotFilled[from] = 0;
            follower.slotFilled[to] = 1;
        };
        follower = plan.before;
        planned = plan;
        return carryOutPack(
            plan, [this](int slot) { return slotFile(slot); }, observer);
    }
    // Every slot the model fills names a file holding that image whole, and
    // the caller's slots, moved by the observer, agree with the model.
    void expectSlotsMatchTheFiles(const SlotModel& m) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (m.slotFilled[slot] == 1) {
                EXPECT_EQ(readBytes(slotFile(slot)), bytesOfFormerTab(formerTabOf(m, slot)))
                    << "slot " << slot;
            }
            EXPECT_EQ(follower.slotFilled[slot], m.slotFilled[slot]) << "slot " << slot;
        }
    }

    std::optional<QTemporaryDir> dir;
    SlotModel model;
    SlotModel follower; // the caller's slots as the observer moved them
    PackPlan planned;
    std::function<void(int step)> hook = [](int) {};
};

} // namespace

TEST_F(PackFolderTest, ASpoiledFileStopsThePackLeavingSlotsNamingExactlyTheFilesThere) {
    struct Case {
        const char* name;
        int beforeStep; // -1: before the pack, so no file may change
        int slot;       // removed, or replaced by a folder
        bool asFolder;
        std::vector<int> filledAfter; // slots 1..6
        int stepsDone;
    };
    const Case cases[] = {
        {"a checked image's file is gone", -1, 3, false, {1, 1, 0, 1, 1, 1}, 0},
        {"a moving image's file is gone", -1, 6, false, {1, 1, 1, 1, 1, 0}, 0},
        {"a checked image's file is a folder", -1, 5, true, {1, 1, 1, 1, 0, 1}, 0},
        {"a file to delete vanishes", 1, 3, false, {1, 1, 0, 1, 0, 1}, 1},
        {"a file to move vanishes", 3, 6, false, {1, 1, 1, 0, 0, 0}, 3},
        {"the rename target turns into a folder", 2, 3, true, {1, 1, 0, 1, 0, 1}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeImages(6);
        const auto spoil = [&] {
            QFile::remove(slotFile(c.slot));
            if (c.asFolder) {
                ASSERT_TRUE(writeBytes(slotFile(c.slot) + QStringLiteral("/keep"), "x"));
            }
        };
        if (c.beforeStep < 0)
            spoil();
        hook = [&](int step) {
            if (step == c.beforeStep)
                spoil();
        };
        const PackOutcome outcome = run(tabs({3, 5}));
        EXPECT_FALSE(outcome.done);
        EXPECT_FALSE(outcome.error.isEmpty());
        EXPECT_EQ(outcome.stepsDone, c.stepsDone);
        for (int slot = 1; slot <= 6; ++slot)
            EXPECT_EQ(outcome.model.slotFilled[slot], c.filledAfter[slot - 1]) << slot;
        // With no step done this also proves every other file is untouched.
        expectSlotsMatchTheFiles(outcome.model);
    }
    // Deletions top down, then renames from the lowest target up, so each
    // rename finds its target free.
    using K = PackStep::Kind;
    EXPECT_EQ(planned.steps,
              (std::vector<PackStep>{
                  {K::Delete, 5, 0}, {K::Delete, 3, 0}, {K::Move, 4, 3}, {K::Move, 6, 4}}));
}

TEST_F(PackFolderTest, EachImagesStormCellsMoveWithItAndADeletedImagesGo) {
    makeImages(6);
    // Cells beside images 3, 4 and 6, and none beside 5, whose slot 4's
    // image takes over.
    for (const int slot : {3, 4, 6})
        ASSERT_TRUE(writeBytes(stormCellsFileOf(slotFile(slot)),
                               "cells of image " + QByteArray::number(slot)));
    ASSERT_TRUE(run(tabs({3, 5})).done);
    EXPECT_EQ(readBytes(stormCellsFileOf(slotFile(3))), "cells of image 4");
    EXPECT_EQ(readBytes(stormCellsFileOf(slotFile(4))), "cells of image 6");
    for (const int slot : {5, 6})
        EXPECT_FALSE(QFileInfo::exists(stormCellsFileOf(slotFile(slot)))) << slot;
}

TEST(PackRing, AStoppedPackLeavesTheNewestSlotOnTheTopRemainingImage) {
    const auto settled = [](SlotModel m, std::initializer_list<int> emptied) {
        for (const int slot : emptied)
            m.slotFilled[slot] = 0;
        settleRingAfterFailedPack(m);
        return std::vector<int>{m.newestSlot, m.wrapState};
    };
    EXPECT_EQ(settled(modelOnTabs(6, 0), {3}), (std::vector<int>{6, kFillingFirstTime}));
    EXPECT_EQ(settled(modelOnTabs(6, 0), {6, 5}), (std::vector<int>{4, kFillingFirstTime}));
    EXPECT_EQ(settled(modelOnTabs(20, 4, kRingFull), {4}), (std::vector<int>{3, kRingHasGaps}));
    EXPECT_EQ(settled(modelOnTabs(2, 0), {1, 2}), (std::vector<int>{0, kFillingFirstTime}));
}

TEST(ResetPlan, KeepsTheTabsUpToTheSelectedOneAndEmptiesTheRest) {
    using S = ResetPlan::Status;
    struct Case {
        const char* name;
        SlotModel model;
        int selected;
        S status;
        std::int16_t wrapAfter;
    };
    SlotModel gap = modelOnTabs(6, 0);
    gap.slotFilled[2] = 0;
    SlotModel firstEmpty = modelOnTabs(6, 0);
    firstEmpty.slotFilled[1] = 0;
    const Case cases[] = {
        {"tab 4 of 6", modelOnTabs(6, 0), 4, S::Ready, kFillingFirstTime},
        {"full ring, no offset", modelOnTabs(20, 0, kRingFull), 10, S::Ready, kFillingFirstTime},
        {"full turned ring", modelOnTabs(20, 3, kRingFull), 10, S::Ready, kRingHasGaps},
        {"tab 20", modelOnTabs(20, 3, kRingFull), 20, S::NothingAbove, 0},
        {"a gap below", gap, 5, S::GapBelow, 0},
        {"the first tab empty", firstEmpty, 5, S::GapBelow, 0},
        {"the selected tab empty", modelOnTabs(3, 0), 5, S::GapBelow, 0},
    };
    const ScopedTimeZone zone("EST5");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ResetPlan plan = planReset(c.model, c.selected, core::ManualClock());
        ASSERT_EQ(plan.status, c.status);
        if (c.status != S::Ready) {
            EXPECT_EQ(plan.result, c.model);
            EXPECT_TRUE(plan.clearSlots.empty());
            continue;
        }
        EXPECT_EQ(formerTabsShown(plan.result), tabRange(1, c.selected));
        EXPECT_EQ(plan.clearSlots.size(), static_cast<std::size_t>(kSlotCount - c.selected));
        EXPECT_EQ(plan.clearSlots.front(), slotForTab(20, c.model.ringOffset));
        const int newest = slotForTab(c.selected, c.model.ringOffset);
        EXPECT_EQ(plan.result.newestSlot, newest);
        EXPECT_NEAR(plan.result.lastImageTime, c.model.slotTime[newest] - kEst5, 1e-6);
        EXPECT_EQ(plan.result.wrapState, c.wrapAfter);
        EXPECT_EQ(plan.result.ringOffset, c.model.ringOffset);
    }
}
