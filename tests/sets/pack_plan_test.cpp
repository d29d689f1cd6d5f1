// Deleting checked images and packing the rest down, planned and carried out
// on files in a folder, and cutting the loop off above a tab.
#include "core/ole_date.h"
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

// The image first shown on tab t is stamped t minutes after kFirstTime.
OleDate timeOfFormerTab(int tab) {
    return kFirstTime + tab / 1440.0;
}

// count images on tabs 1..count with the given ring offset.
SlotModel modelOnTabs(int count, int ring, std::int16_t wrapState = kFillingFirstTime) {
    SlotModel model;
    model.ringOffset = static_cast<std::int16_t>(ring);
    model.wrapState = wrapState;
    for (int tab = 1; tab <= count; ++tab) {
        const int slot = slotForTab(tab, ring);
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = timeOfFormerTab(tab);
    }
    model.newestSlot = static_cast<std::int16_t>(count > 0 ? slotForTab(count, ring) : 0);
    model.lastImageSize = 30211;
    model.lastImageTime = 46362.25;
    model.siteCode = QStringLiteral("kmlb");
    return model;
}

TabFlags tabs(std::initializer_list<int> list) {
    TabFlags flags{};
    for (const int tab : list)
        flags[tab] = true;
    return flags;
}

// The former tab of the image each filled tab now shows, from its time.
std::vector<int> formerTabsShown(const SlotModel& model) {
    std::vector<int> shown;
    for (int tab = 1; tab <= kSlotCount; ++tab) {
        const int slot = slotForTab(tab, model.ringOffset);
        if (model.slotFilled[slot] == 1)
            shown.push_back(
                static_cast<int>(std::lround((model.slotTime[slot] - kFirstTime) * 1440.0)));
        else
            shown.push_back(0);
    }
    while (!shown.empty() && shown.back() == 0)
        shown.pop_back();
    return shown;
}

core::ManualClock clockAt(const QDateTime& now) {
    return core::ManualClock(now, 0);
}

} // namespace

TEST(PackPlan, KeepsTheUncheckedImagesInOrderOnTheLowestTabsAndSetsTheRing) {
    struct Case {
        const char* name;
        int count;
        int ring;
        std::int16_t wrap;
        TabFlags checked;
        std::vector<int> shownAfter; // former tab shown on tabs 1, 2, ...
        int newestTab;
        std::int16_t wrapAfter;
    };
    const Case cases[] = {
        {"tabs 3 and 5 of 6",
         6,
         0,
         kFillingFirstTime,
         tabs({3, 5}),
         {1, 2, 4, 6},
         4,
         kFillingFirstTime},
        {"the top tab", 6, 0, kFillingFirstTime, tabs({6}), {1, 2, 3, 4, 5}, 5, kFillingFirstTime},
        {"the bottom tab", 3, 0, kRingHasGaps, tabs({1}), {2, 3}, 2, kRingHasGaps},
        {"a full turned ring",
         20,
         5,
         kRingFull,
         tabs({1, 20}),
         {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
         18,
         kRingHasGaps},
        {"tabs that wrap past slot 20",
         8,
         15,
         kRingHasGaps,
         tabs({4, 6, 7}),
         {1, 2, 3, 5, 8},
         5,
         kRingHasGaps},
        {"a check on an empty tab is ignored",
         4,
         0,
         kFillingFirstTime,
         tabs({2, 9}),
         {1, 3, 4},
         3,
         kFillingFirstTime},
    };
    const core::ManualClock clock;
    const ScopedTimeZone utc("UTC");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SlotModel before = modelOnTabs(c.count, c.ring, c.wrap);
        const PackPlan plan = planPack(before, c.checked, clock);
        ASSERT_EQ(plan.status, PackPlan::Status::Ready);
        EXPECT_EQ(formerTabsShown(plan.result), c.shownAfter);
        EXPECT_EQ(filledCount(plan.result), static_cast<int>(c.shownAfter.size()));
        EXPECT_EQ(plan.result.ringOffset, c.ring);
        const int newest = slotForTab(c.newestTab, c.ring);
        EXPECT_EQ(plan.result.newestSlot, newest);
        EXPECT_NEAR(plan.result.lastImageTime, plan.result.slotTime[newest], 1e-6);
        EXPECT_EQ(plan.result.wrapState, c.wrapAfter);
        EXPECT_EQ(plan.result.lastImageSize, before.lastImageSize);
        EXPECT_EQ(plan.selectTab, c.newestTab);
        // Emptied slots carry no time.
        for (int slot = 1; slot <= kSlotCount; ++slot)
            if (plan.result.slotFilled[slot] == 0) {
                EXPECT_EQ(plan.result.slotTime[slot], 0) << slot;
            }
    }
}

TEST(PackPlan, DeletesFromTheTopDownThenRenamesFromTheLowestTargetUp) {
    const PackPlan plan = planPack(modelOnTabs(6, 0), tabs({3, 5}), core::ManualClock());
    using K = PackStep::Kind;
    const std::vector<PackStep> expected = {
        {K::Delete, 5, 0}, {K::Delete, 3, 0}, {K::Move, 4, 3}, {K::Move, 6, 4}};
    EXPECT_EQ(plan.steps, expected);
}

TEST(PackPlan, DeletingEveryImageStartsTheRingAfresh) {
    const ScopedTimeZone zone("EST5");
    const auto clock = clockAt(QDateTime(QDate(2024, 2, 29), QTime(8, 30)));
    const PackPlan plan = planPack(
        modelOnTabs(20, 7, kRingFull),
        tabs({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}), clock);
    ASSERT_EQ(plan.status, PackPlan::Status::Ready);
    EXPECT_EQ(filledCount(plan.result), 0);
    EXPECT_EQ(plan.result.ringOffset, 0);
    EXPECT_EQ(plan.result.wrapState, kFillingFirstTime);
    EXPECT_EQ(plan.result.newestSlot, 0);
    EXPECT_EQ(plan.result.lastImageSize, -1);
    EXPECT_EQ(plan.result.lastImageTime, core::oleFromParts(2021, 2, 28, 8, 30).value());
    EXPECT_EQ(plan.selectTab, 1);
    EXPECT_EQ(plan.steps.size(), 20u);
}

TEST(PackPlan, TheLastImageTimeIsTheNewestSlotTimeInLocalTime) {
    const ScopedTimeZone zone("EST5");
    const PackPlan plan = planPack(modelOnTabs(6, 0), tabs({3, 5}), core::ManualClock());
    EXPECT_NEAR(plan.result.lastImageTime, timeOfFormerTab(6) - 5.0 / 24, 1e-6);
}

TEST(PackPlan, NothingIsPlannedWithoutImagesOrWithoutACheckedImage) {
    const core::ManualClock clock;
    EXPECT_EQ(planPack(SlotModel{}, tabs({1}), clock).status, PackPlan::Status::NoImages);
    EXPECT_EQ(planPack(modelOnTabs(4, 0), tabs({}), clock).status, PackPlan::Status::NoneChecked);
    EXPECT_EQ(planPack(modelOnTabs(4, 0), tabs({5, 20}), clock).status,
              PackPlan::Status::NoneChecked);
    EXPECT_TRUE(planPack(modelOnTabs(4, 0), tabs({}), clock).steps.empty());
}

// ---- carrying a plan out in a folder ----

namespace {

class PackFolderTest : public ::testing::Test {
public:
    QString slotFile(int slot) const {
        return dir.filePath(QStringLiteral("latest%1.gif").arg(slot));
    }
    static QByteArray bytesOfFormerTab(int tab) {
        return QByteArray("GIF89a image first on tab ") + QByteArray::number(tab);
    }
    // Writes each image's file and keeps the model the files were made for.
    void makeImages(int count, int ring = 0) {
        model = modelOnTabs(count, ring);
        for (int tab = 1; tab <= count; ++tab)
            ASSERT_TRUE(writeBytes(slotFile(slotForTab(tab, ring)), bytesOfFormerTab(tab)));
    }

protected:
    PackOutcome run(const PackPlan& plan) {
        PackObserver observer;
        observer.beforeStep = [this](int step) {
            if (hook)
                hook(step);
        };
        observer.removed = [this](int slot) { follower.slotFilled[slot] = 0; };
        observer.moved = [this](int from, int to) {
            follower.slotFilled[from] = 0;
            follower.slotFilled[to] = 1;
        };
        follower = plan.before;
        return carryOutPack(
            plan, [this](int slot) { return slotFile(slot); }, observer);
    }
    // Every slot the model fills names a file there, and each image file
    // still there holds some former image whole.
    void expectSlotsMatchTheFiles(const SlotModel& m) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const QByteArray bytes = readBytes(slotFile(slot));
            if (m.slotFilled[slot] == 1) {
                const int former =
                    static_cast<int>(std::lround((m.slotTime[slot] - kFirstTime) * 1440.0));
                EXPECT_EQ(bytes, bytesOfFormerTab(former)) << "slot " << slot;
            }
            EXPECT_EQ(follower.slotFilled[slot], m.slotFilled[slot]) << "slot " << slot;
        }
    }
    void emptyFolder() {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            QDir(slotFile(slot)).removeRecursively();
            QFile::remove(slotFile(slot));
        }
    }
    int imageFilesThere() const {
        return static_cast<int>(
            QDir(dir.path()).entryList({QStringLiteral("latest*.gif")}, QDir::Files).size());
    }

    QTemporaryDir dir;
    SlotModel model;
    SlotModel follower; // the caller's slots as the observer moved them
    std::function<void(int step)> hook;
    core::ManualClock clock;
};

} // namespace

TEST_F(PackFolderTest, TheFilesEndUpWhereThePlanSays) {
    struct Case {
        const char* name;
        int count;
        int ring;
        TabFlags checked;
    };
    const Case cases[] = {
        {"tabs 3 and 5 of 6", 6, 0, tabs({3, 5})},
        {"a turned ring", 12, 14, tabs({1, 6, 7, 12})},
        {"all of them", 5, 3, tabs({1, 2, 3, 4, 5})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyFolder();
        makeImages(c.count, c.ring);
        const PackPlan plan = planPack(model, c.checked, clock);
        const PackOutcome outcome = run(plan);
        ASSERT_TRUE(outcome.done) << outcome.error.toStdString();
        EXPECT_EQ(outcome.stepsDone, static_cast<int>(plan.steps.size()));
        EXPECT_EQ(outcome.model.slotFilled, plan.result.slotFilled);
        EXPECT_EQ(outcome.model.slotTime, plan.result.slotTime);
        expectSlotsMatchTheFiles(outcome.model);
        EXPECT_EQ(imageFilesThere(), filledCount(plan.result));
    }
}

TEST_F(PackFolderTest, AFileMissingOrUnreadableBeforehandChangesNoFile) {
    struct Case {
        const char* name;
        int slot;      // spoiled before the pack
        bool asFolder; // replaced by a folder instead of removed
    };
    const Case cases[] = {
        {"a checked image's file is gone", 3, false},
        {"a moving image's file is gone", 6, false},
        {"a checked image's file is a folder", 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyFolder();
        makeImages(6);
        QFile::remove(slotFile(c.slot));
        if (c.asFolder) {
            ASSERT_TRUE(QDir().mkpath(slotFile(c.slot)));
        }
        const PackOutcome outcome = run(planPack(model, tabs({3, 5}), clock));
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.stepsDone, 0);
        EXPECT_FALSE(outcome.error.isEmpty());
        // Only the spoiled slot is let go; every other file is as it was.
        for (int slot = 1; slot <= 6; ++slot) {
            EXPECT_EQ(outcome.model.slotFilled[slot], slot == c.slot ? 0 : 1) << slot;
            if (slot != c.slot) {
                EXPECT_EQ(readBytes(slotFile(slot)), bytesOfFormerTab(slot)) << slot;
            }
        }
        expectSlotsMatchTheFiles(outcome.model);
    }
}

TEST_F(PackFolderTest, AStepThatFailsHalfwayLeavesSlotsNamingExactlyTheFilesThere) {
    // Steps of tabs 3 and 5 of 6: delete 5, delete 3, move 4 to 3, move 6 to 4.
    struct Case {
        const char* name;
        int failingStep;
        std::function<void(PackFolderTest&)> spoil;
        std::vector<int> filledAfter; // slots 1..6
        int stepsDone;
    };
    const Case cases[] = {
        {"a file to delete vanishes",
         1,
         [](PackFolderTest& t) { QFile::remove(t.slotFile(3)); },
         {1, 1, 0, 1, 0, 1},
         1},
        {"a file to move vanishes",
         3,
         [](PackFolderTest& t) { QFile::remove(t.slotFile(6)); },
         {1, 1, 1, 0, 0, 0},
         3},
        {"the rename target turns into a folder",
         2,
         [](PackFolderTest& t) {
             QDir().mkpath(t.slotFile(3));
             writeBytes(t.slotFile(3) + QStringLiteral("/keep"), "x");
         },
         {1, 1, 0, 1, 0, 1},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emptyFolder();
        makeImages(6);
        hook = [&](int step) {
            if (step == c.failingStep)
                c.spoil(*this);
        };
        const PackOutcome outcome = run(planPack(model, tabs({3, 5}), clock));
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.stepsDone, c.stepsDone);
        for (int slot = 1; slot <= 6; ++slot)
            EXPECT_EQ(outcome.model.slotFilled[slot], c.filledAfter[slot - 1]) << slot;
        expectSlotsMatchTheFiles(outcome.model);
    }
    hook = nullptr;
}

TEST_F(PackFolderTest, RenamesNeedNoRoomSoAFullDiskDoesNotStopThePack) {
    makeImages(6);
    const PackPlan plan = planPack(model, tabs({2}), clock);
    PackOutcome outcome;
    {
        const FileSizeLimit full(0);
        outcome = run(plan);
    }
    ASSERT_TRUE(outcome.done) << outcome.error.toStdString();
    expectSlotsMatchTheFiles(outcome.model);
}

TEST(PackRing, AStoppedPackLeavesTheNewestSlotOnTheTopRemainingImage) {
    struct Case {
        const char* name;
        SlotModel model;
        std::vector<int> emptied;
        std::int16_t newestAfter;
        std::int16_t wrapAfter;
    };
    const Case cases[] = {
        {"newest still there", modelOnTabs(6, 0), {3}, 6, kFillingFirstTime},
        {"newest gone", modelOnTabs(6, 0), {6, 5}, 4, kFillingFirstTime},
        {"turned full ring loses its top", modelOnTabs(20, 4, kRingFull), {4}, 3, kRingHasGaps},
        {"nothing left", modelOnTabs(2, 0), {1, 2}, 0, kFillingFirstTime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SlotModel model = c.model;
        for (const int slot : c.emptied)
            model.slotFilled[slot] = 0;
        settleRingAfterFailedPack(model);
        EXPECT_EQ(model.newestSlot, c.newestAfter);
        EXPECT_EQ(model.wrapState, c.wrapAfter);
    }
}

TEST(ResetPlan, KeepsTheTabsUpToTheSelectedOneAndEmptiesTheRest) {
    struct Case {
        const char* name;
        SlotModel model;
        int selected;
        ResetPlan::Status status;
        int newestTab;
        std::int16_t wrapAfter;
    };
    SlotModel gap = modelOnTabs(6, 0);
    gap.slotFilled[2] = 0;
    const Case cases[] = {
        {"tab 4 of 6", modelOnTabs(6, 0), 4, ResetPlan::Status::Ready, 4, kFillingFirstTime},
        {"full ring, no offset", modelOnTabs(20, 0, kRingFull), 10, ResetPlan::Status::Ready, 10,
         kFillingFirstTime},
        {"full turned ring", modelOnTabs(20, 3, kRingFull), 10, ResetPlan::Status::Ready, 10,
         kRingHasGaps},
        {"tab 20", modelOnTabs(20, 3, kRingFull), 20, ResetPlan::Status::NothingAbove, 0, 0},
        {"a gap below", gap, 5, ResetPlan::Status::GapBelow, 0, 0},
        {"the selected tab empty", modelOnTabs(3, 0), 5, ResetPlan::Status::GapBelow, 0, 0},
    };
    const ScopedTimeZone utc("UTC");
    const core::ManualClock clock;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ResetPlan plan = planReset(c.model, c.selected, clock);
        ASSERT_EQ(plan.status, c.status);
        if (c.status != ResetPlan::Status::Ready) {
            EXPECT_EQ(plan.result, c.model);
            EXPECT_TRUE(plan.clearSlots.empty());
            continue;
        }
        std::vector<int> kept;
        for (int tab = 1; tab <= c.selected; ++tab)
            kept.push_back(tab);
        EXPECT_EQ(formerTabsShown(plan.result), kept);
        EXPECT_EQ(plan.clearSlots.size(), static_cast<std::size_t>(kSlotCount - c.selected));
        EXPECT_EQ(plan.clearSlots.front(), slotForTab(20, c.model.ringOffset));
        const int newest = slotForTab(c.newestTab, c.model.ringOffset);
        EXPECT_EQ(plan.result.newestSlot, newest);
        EXPECT_NEAR(plan.result.lastImageTime, c.model.slotTime[newest], 1e-6);
        EXPECT_EQ(plan.result.wrapState, c.wrapAfter);
        EXPECT_EQ(plan.result.ringOffset, c.model.ringOffset);
    }
}
