#include "sets/current_set.h"

#include "core/atomic_file.h"
#include "sets/set_record.h"

namespace nubivista::sets {

SaveOutcome SaveCurrentSet(const QString& setRecPath, const SlotModel& model,
                           std::int32_t refreshIntervalMinutes) {
    if (filledCount(model) == 0)
        return {SaveOutcome::Status::NothingToSave, {}};

    const QByteArray bytes = encodeSetRecord(setRecordFromModel(model, refreshIntervalMinutes));
    const core::WriteOutcome outcome = core::writeFileAtomically(setRecPath, bytes);
    if (!outcome.ok)
        return {SaveOutcome::Status::Failed, outcome.error};
    return {SaveOutcome::Status::Written, {}};
}

std::optional<QString> SlotImageFile(const QString& loopImgBase, int n) {
    if (n < 1 || n > kSlotCount)
        return std::nullopt;
    return loopImgBase + QString::number(n) + QStringLiteral(".gif");
}

} // namespace nubivista::sets
