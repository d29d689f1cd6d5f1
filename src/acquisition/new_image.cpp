#include "acquisition/new_image.h"

#include "core/time_routines.h"

namespace nubivista::acquisition {

namespace {

std::optional<std::int64_t> secondsOf(core::OleDate t) {
    return core::oleToSeconds(t);
}

// The local now shifted by whole calendar months.
std::optional<core::OleDate> nowPlusMonths(const core::Clock& clock, int months) {
    const std::optional<core::OleDate> now = core::oleFromDateTime(clock.now());
    if (!now)
        return std::nullopt;
    return core::oleAddMonths(*now, months);
}

} // namespace

CacheTime cacheTimeFailure(const core::Clock& clock) {
    return CacheTime{core::timeFailureValue(clock), -1, std::nullopt};
}

CacheTime cacheTimeFromEntry(const std::optional<platform::CacheEntry>& entry,
                             const core::Clock& clock) {
    if (!entry || !entry->lastModifiedUtc.isValid())
        return cacheTimeFailure(clock);
    const std::optional<core::OleDate> utc = core::oleFromDateTime(entry->lastModifiedUtc.toUTC());
    if (!utc)
        return cacheTimeFailure(clock);
    // The size is compared as the low 32 bits, as a signed number.
    const auto size = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(entry->size) & 0xFFFFFFFFu));
    return CacheTime{core::utcToLocal(*utc, clock), size, *utc};
}

CacheTime CacheTimeOf(platform::InternetService& internet, const QUrl& address,
                      const core::Clock& clock) {
    return cacheTimeFromEntry(internet.cacheEntry(address), clock);
}

CacheTime lastImageOfNewProcess(const core::Clock& clock) {
    return CacheTime{nowPlusMonths(clock, -36).value_or(core::timeFailureValue(clock)), -1,
                     std::nullopt};
}

bool isFirstImageOfProcess(const sets::SlotModel& model) {
    return model.newestSlot == 0 && model.wrapState == sets::kFillingFirstTime &&
           sets::nextSlotToFill(model.newestSlot) == 1;
}

bool isNewImage(const CacheTime& cached, bool firstImage, core::OleDate lastImageTime,
                std::int32_t lastImageSize, const core::Clock& clock) {
    const std::optional<std::int64_t> time = secondsOf(cached.time);
    if (!time)
        return false;
    if (firstImage) {
        const std::optional<core::OleDate> oldest = nowPlusMonths(clock, -24);
        const std::optional<std::int64_t> oldestSeconds =
            oldest ? secondsOf(*oldest) : std::nullopt;
        return oldestSeconds && *time >= *oldestSeconds;
    }
    const std::optional<std::int64_t> last = secondsOf(lastImageTime);
    if (last && *time <= *last)
        return false;
    return cached.size != lastImageSize;
}

core::OleDate slotTimeStamp(const CacheTime& image, int stampAdjustMinutes,
                            const core::Clock& clock) {
    if (image.utcTime) {
        if (const std::optional<core::OleDate> stamp =
                core::oleAddMinutes(*image.utcTime, stampAdjustMinutes))
            return *stamp;
    }
    // Only a local time is known: adjust it and convert.
    const std::optional<core::OleDate> local = core::oleAddMinutes(image.time, stampAdjustMinutes);
    if (!local)
        return core::timeFailureValue(clock);
    return core::LocDateToUtcDate(*local, clock);
}

AcceptedImageStep stepForAcceptedImage(const sets::SlotModel& model, const CacheTime& image,
                                       int stampAdjustMinutes, const core::Clock& clock) {
    sets::SlotModel turned = model;
    AcceptedImageStep step;
    step.slot = sets::nextSlotToFill(model.newestSlot);
    step.slotTime = slotTimeStamp(image, stampAdjustMinutes, clock);
    step.tab = sets::advanceRing(turned);
    step.newestSlot = turned.newestSlot;
    step.ringOffset = turned.ringOffset;
    step.wrapState = turned.wrapState;
    step.lastImageTime = image.time;
    step.lastImageSize = image.size;
    return step;
}

void applyAcceptedImageStep(sets::SlotModel& model, const AcceptedImageStep& step) {
    model.newestSlot = step.newestSlot;
    model.ringOffset = step.ringOffset;
    model.wrapState = step.wrapState;
    model.lastImageTime = step.lastImageTime;
    model.lastImageSize = step.lastImageSize;
}

} // namespace nubivista::acquisition
