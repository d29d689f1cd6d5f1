#include "sets/slot_model.h"

#include <gtest/gtest.h>
#include <tuple>

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
        SCOPED_TRACE(testing::Message() << "offset " << offset << " tab " << tab);
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
        SCOPED_TRACE(testing::Message()
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
