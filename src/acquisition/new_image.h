#pragma once
// How the auto-refresh process tells a new radar image from the one it already
// has, and where an accepted image goes: the image's cache time and size, the
// new-image test, the slot's time stamp and the ring step. The process reads
// the cache before every download and fetches only what the test accepts.
#include "acquisition/platform/internet_service.h"
#include "core/clock.h"
#include "core/ole_date.h"
#include "sets/slot_model.h"

#include <QUrl>
#include <cstdint>
#include <optional>

namespace nubivista::acquisition {

// An image as the cache describes it. The local time and the size are what
// the process compares and keeps as LastImageTime and LastImageSize; the UTC
// time is the same instant as the layer gave it, kept so that the slot's time
// stamp does not go through local time twice.
struct CacheTime {
    core::OleDate time = 0;               // local time, to the second
    std::int32_t size = -1;               // low 32 bits of the entry size; -1 = none
    std::optional<core::OleDate> utcTime; // unset for the failure value

    bool operator==(const CacheTime&) const = default;
};

// The failure value: the local now minus 10 years and size -1. It fails both
// parts of the new-image test.
CacheTime cacheTimeFailure(const core::Clock& clock);

// The layer's cache entry of an image as the process uses it; no entry (or an
// entry without a usable time) gives the failure value.
CacheTime cacheTimeFromEntry(const std::optional<platform::CacheEntry>& entry,
                             const core::Clock& clock);

// CacheTimeOf: looks the address up in the layer's cache. Only reads it.
CacheTime CacheTimeOf(platform::InternetService& internet, const QUrl& address,
                      const core::Clock& clock);

// LastImageTime and LastImageSize of a new process: now minus 36 months and -1,
// so that any cached image counts as new.
CacheTime lastImageOfNewProcess(const core::Clock& clock);

// The first image of a process: no image stored yet and the ring filling for
// the first time, so the next one goes into slot 1.
bool isFirstImageOfProcess(const sets::SlotModel& model);

// The new-image test. A first image is accepted when it is at most 24 months
// old (an image the browser did not cache is not); a later one only when it is
// both newer than the last accepted image and of a different size (a frame
// published again with a new time keeps its size).
bool isNewImage(const CacheTime& cached, bool firstImage, core::OleDate lastImageTime,
                std::int32_t lastImageSize, const core::Clock& clock);

// The UTC time stamp of a slot filled with image: its cache time moved by
// StampAdjustMinutes. Adjusted on the UTC instant so that a stamp near a
// daylight-saving change neither jumps an hour nor becomes unusable.
core::OleDate slotTimeStamp(const CacheTime& image, int stampAdjustMinutes,
                            const core::Clock& clock);

// What storing an accepted image changes: the slot it goes into, that slot's
// time stamp, the ring and the last-image fields, and the image's tab (its
// position in loop order: its skip box is cleared and, with auto-click on, it
// is the tab to select).
struct AcceptedImageStep {
    int slot = 1;
    core::OleDate slotTime = 0; // UTC
    std::int16_t newestSlot = 0;
    std::int16_t ringOffset = 0;
    std::int16_t wrapState = sets::kFillingFirstTime;
    core::OleDate lastImageTime = 0; // local
    std::int32_t lastImageSize = -1;
    int tab = 1;

    bool operator==(const AcceptedImageStep&) const = default;
};

AcceptedImageStep stepForAcceptedImage(const sets::SlotModel& model, const CacheTime& image,
                                       int stampAdjustMinutes, const core::Clock& clock);

// Writes the step's ring and last-image fields into model (the slot itself is
// filled through the loop set, which also reads its picture).
void applyAcceptedImageStep(sets::SlotModel& model, const AcceptedImageStep& step);

} // namespace nubivista::acquisition
