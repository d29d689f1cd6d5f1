#include "sets/slot_model.h"

#include <gtest/gtest.h>

using namespace nubivista::sets;

namespace {

// Stores one new image the way the refresh cycle does: into the next slot,
// then turns the ring. Returns the new image's tab.
int storeNewImage(SlotModel& model, OleDate time) {
    const int slot = nextSlotToFill(model.newestSlot);
    model.slotFilled[slot] = 1;
    model.slotTime[slot] = time;
    return advanceRing(model);
}

} // namespace

TEST(SlotRing, TabsAndSlotsMapBothWaysAroundTheRing) {
    struct Case {
        int ringOffset;
        int tab;
        int slot;
    };
    const Case cases[] = {
        {0, 1, 1},  {0, 20, 20}, {5, 1, 6},  {5, 15, 20},  {5, 16, 1},
        {5, 20, 5}, {19, 1, 20}, {19, 2, 1}, {19, 20, 19}, {1, 20, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.ringOffset << " tab " << c.tab);
        EXPECT_EQ(slotForTab(c.tab, c.ringOffset), c.slot);
        EXPECT_EQ(tabForSlot(c.slot, c.ringOffset), c.tab);
    }
    for (int offset = 0; offset < kSlotCount; ++offset) {
        for (int tab = 1; tab <= kSlotCount; ++tab)
            EXPECT_EQ(tabForSlot(slotForTab(tab, offset), offset), tab);
    }
}

TEST(SlotRing, AnOffsetOutsideTheRingStillNamesASlot) {
    // Offsets count round the ring, so no caller can be handed slot 0 or 21.
    EXPECT_EQ(slotForTab(1, 25), slotForTab(1, 5));
    EXPECT_EQ(slotForTab(1, -1), 20);
    EXPECT_EQ(tabForSlot(1, 45), tabForSlot(1, 5));
    for (int offset : {-40, -21, 20, 21, 32767}) {
        for (int tab = 1; tab <= kSlotCount; ++tab) {
            const int slot = slotForTab(tab, offset);
            EXPECT_GE(slot, 1);
            EXPECT_LE(slot, kSlotCount);
        }
    }
}

TEST(SlotRing, NextSlotFollowsTheNewestAndWrapsAfterTwenty) {
    EXPECT_EQ(nextSlotToFill(0), 1);
    EXPECT_EQ(nextSlotToFill(7), 8);
    EXPECT_EQ(nextSlotToFill(19), 20);
    EXPECT_EQ(nextSlotToFill(20), 1);
}

TEST(SlotRing, FilledCountCountsOnlyFilledSlotsOneToTwenty) {
    SlotModel model;
    EXPECT_EQ(filledCount(model), 0);
    model.slotFilled[0] = 1; // carries no slot
    model.slotFilled[1] = 1;
    model.slotFilled[20] = 1;
    model.slotFilled[7] = 1;
    EXPECT_EQ(filledCount(model), 3);
}

TEST(SlotRing, FirstTwentyImagesFillSlotsInOrderWithoutTurningTheRing) {
    SlotModel model;
    for (int n = 1; n <= kSlotCount; ++n) {
        EXPECT_EQ(nextSlotToFill(model.newestSlot), n);
        EXPECT_EQ(storeNewImage(model, n), n);
        EXPECT_EQ(model.newestSlot, n);
        EXPECT_EQ(model.ringOffset, 0);
        EXPECT_EQ(model.wrapState, kFillingFirstTime);
    }
    EXPECT_EQ(filledCount(model), 20);
}

TEST(SlotRing, TheTwentyFirstImageGoesToSlotOneAndTurnsTheRing) {
    SlotModel model;
    for (int n = 1; n <= kSlotCount; ++n)
        storeNewImage(model, n);

    EXPECT_EQ(nextSlotToFill(model.newestSlot), 1);
    EXPECT_EQ(storeNewImage(model, 21), 20);
    EXPECT_EQ(model.newestSlot, 1);
    EXPECT_EQ(model.ringOffset, 1);
    EXPECT_EQ(model.wrapState, kRingFull);
    // Tab 1 now shows the oldest image left (the second one), tab 20 the newest.
    EXPECT_EQ(model.slotTime[slotForTab(1, model.ringOffset)], 2);
    EXPECT_EQ(model.slotTime[slotForTab(20, model.ringOffset)], 21);
}

TEST(SlotRing, AFullRingKeepsTheNewestOnTabTwentyAndTheTabsInTimeOrder) {
    SlotModel model;
    for (int n = 1; n <= 67; ++n) {
        const int tab = storeNewImage(model, n);
        if (n > kSlotCount) {
            EXPECT_EQ(tab, 20) << "image " << n;
        }
    }
    EXPECT_EQ(model.newestSlot, 7);
    EXPECT_EQ(model.ringOffset, 7);
    for (int tab = 1; tab <= kSlotCount; ++tab)
        EXPECT_EQ(model.slotTime[slotForTab(tab, model.ringOffset)], 47 + tab);
}

TEST(SlotRing, ReplaceAfterTheTwentyFirstImageStepsBackToSlotTwenty) {
    SlotModel model;
    for (int n = 1; n <= 21; ++n)
        storeNewImage(model, n);

    stepRingBack(model);
    EXPECT_EQ(model.newestSlot, 20);
    EXPECT_EQ(model.ringOffset, 0);
    EXPECT_EQ(model.wrapState, kRingFull);
    // The refreshed image replaces the one in slot 1 and takes its place.
    EXPECT_EQ(nextSlotToFill(model.newestSlot), 1);
    EXPECT_EQ(storeNewImage(model, 21.5), 20);
    EXPECT_EQ(model.newestSlot, 1);
    EXPECT_EQ(model.ringOffset, 1);
}

TEST(SlotRing, ReplaceStepsBackInEveryWrapState) {
    struct Case {
        const char* name;
        std::int16_t wrapState;
        std::int16_t newestSlot, ringOffset;
        std::int16_t expectedNewest, expectedOffset;
    };
    const Case cases[] = {
        {"filling", kFillingFirstTime, 7, 0, 6, 0},
        {"filling, first slot", kFillingFirstTime, 1, 0, 0, 0},
        {"filling, no newest slot", kFillingFirstTime, 0, 0, 0, 0},
        {"full", kRingFull, 9, 9, 8, 8},
        {"full, at slot 1", kRingFull, 1, 1, 20, 0},
        {"full, offset 0", kRingFull, 1, 0, 20, 19},
        {"gaps", kRingHasGaps, 4, 5, 3, 5},
        {"gaps, at slot 1", kRingHasGaps, 1, 5, 20, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SlotModel model;
        model.wrapState = c.wrapState;
        model.newestSlot = c.newestSlot;
        model.ringOffset = c.ringOffset;
        stepRingBack(model);
        EXPECT_EQ(model.newestSlot, c.expectedNewest);
        EXPECT_EQ(model.ringOffset, c.expectedOffset);
        EXPECT_EQ(model.wrapState, c.wrapState);
    }
}

TEST(SlotRing, AfterADeletionFreeSlotsFillBeforeTheRingTurnsAgain) {
    // Seventeen images left on tabs 1..17 of a ring turned by 5: slots 6..20, 1, 2.
    SlotModel model;
    model.ringOffset = 5;
    model.wrapState = kRingHasGaps;
    for (int tab = 1; tab <= 17; ++tab)
        model.slotFilled[slotForTab(tab, 5)] = 1;
    model.newestSlot = static_cast<std::int16_t>(slotForTab(17, 5));
    ASSERT_EQ(model.newestSlot, 2);

    // Slots 3, 4 and 5 are free: they fill tabs 18, 19, 20 without turning.
    for (int expectedTab : {18, 19, 20}) {
        EXPECT_EQ(storeNewImage(model, expectedTab), expectedTab);
        EXPECT_EQ(model.wrapState, kRingHasGaps);
        EXPECT_EQ(model.ringOffset, 5);
    }
    // The next image overwrites the oldest (slot 6): the ring is full again.
    EXPECT_EQ(storeNewImage(model, 21), 20);
    EXPECT_EQ(model.newestSlot, 6);
    EXPECT_EQ(model.wrapState, kRingFull);
    EXPECT_EQ(model.ringOffset, 6);
    EXPECT_EQ(storeNewImage(model, 22), 20);
    EXPECT_EQ(model.ringOffset, 7);
}

TEST(SlotRing, LeavingTheGapStateAtSlotTwentyTurnsTheOffsetToZero) {
    // Eighteen images on tabs 1..18 of a ring turned by 19: slots 20, 1..17.
    SlotModel model;
    model.ringOffset = 19;
    model.wrapState = kRingHasGaps;
    model.newestSlot = static_cast<std::int16_t>(slotForTab(18, 19));
    ASSERT_EQ(model.newestSlot, 17);
    EXPECT_EQ(storeNewImage(model, 1), 19);
    EXPECT_EQ(storeNewImage(model, 2), 20);
    EXPECT_EQ(model.wrapState, kRingHasGaps);

    EXPECT_EQ(storeNewImage(model, 3), 20);
    EXPECT_EQ(model.newestSlot, 20);
    EXPECT_EQ(model.wrapState, kRingFull);
    EXPECT_EQ(model.ringOffset, 0);
}
