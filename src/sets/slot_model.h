#pragma once
// The loop's 20 image slots and the ring that keeps them in time order.
//
// Slots are numbered 1..20 (index 0 of the arrays carries no slot). Tabs show
// the images oldest to newest: tab t shows slot t + ringOffset, less 20 above
// 20. Once all 20 slots are in use every new image overwrites the oldest slot
// and the ring turns by one, so the newest image stays on tab 20.
#include <QString>
#include <array>
#include <cstdint>

namespace nubivista::sets {

// Days since 1899-12-30 00:00, time of day as the fraction.
using OleDate = double;

inline constexpr int kSlotCount = 20;
// Arrays indexed by slot number; element 0 is unused.
inline constexpr int kSlotArraySize = kSlotCount + 1;

// How the ring is being filled.
enum WrapStateValue : std::int16_t {
    // The slots are being filled for the first time.
    kFillingFirstTime = 0,
    // All slots in use: each new image replaces the oldest and turns the ring.
    kRingFull = 1,
    // After a deletion or pack: free slots above the newest image are filled
    // before the ring turns again.
    kRingHasGaps = 2,
};

struct SlotModel {
    std::array<std::int16_t, kSlotArraySize> slotFilled{}; // SlotFilled: 1 = holds an image
    std::array<OleDate, kSlotArraySize> slotTime{};        // SlotTime: image time, UTC
    std::int16_t ringOffset = 0;                           // RingOffset, 0..19
    std::int16_t wrapState = kFillingFirstTime;            // WrapState, 0..2
    std::int16_t newestSlot = 0;                           // NewestSlot, 0 = none
    OleDate lastImageTime = 0;       // LastImageTime: local cache time of the newest image
    std::int32_t lastImageSize = -1; // LastImageSize: cache size, -1 = none
    QString paneUrl;                 // PaneUrl
    QString siteImageUrl;            // SiteImageUrl
    QString siteCode;                // SiteCode, e.g. "kmlb"

    bool operator==(const SlotModel&) const = default;
};

// The slot shown on tab (1..20). Any ring offset is taken modulo 20, so the
// result is always a slot number 1..20.
int slotForTab(int tab, int ringOffset);

// The tab (1..20) that shows slot (1..20); the reverse of slotForTab.
int tabForSlot(int slot, int ringOffset);

// Number of slots 1..20 whose SlotFilled is 1.
int filledCount(const SlotModel& model);

// The slot the next new image goes into: NewestSlot + 1, 1 after 20.
int nextSlotToFill(int newestSlot);

// Turns the ring after a new image was stored in nextSlotToFill(newestSlot).
// Returns the newest image's position in loop order (its tab, 1..20).
int advanceRing(SlotModel& model);

// Steps the ring back by one so that the next new image replaces the newest
// one (the Replace command). Never leaves NewestSlot below 0.
void stepRingBack(SlotModel& model);

} // namespace nubivista::sets
