#pragma once
// The current set on disk: CurrSetRec.sis beside the slot image files
// latest1.gif .. latest20.gif in the "Loop Images" folder.
#include "sets/slot_model.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace nubivista::sets {

struct SaveOutcome {
    enum class Status {
        Written,       // the record file now holds the model
        NothingToSave, // no slot is filled (or a start is held); the file was left as it was
        Failed,        // the write failed; the previous file is unchanged
    };
    Status status = Status::Failed;
    QString error; // reason when Failed

    bool written() const { return status == Status::Written; }
};

// Rewrites the set record at setRecPath from model, after every change of the
// slots. With no filled slot nothing is written. The file is replaced
// atomically, so it never holds half a record. A failure is not shown to the
// user; the outcome tells the caller.
SaveOutcome SaveCurrentSet(const QString& setRecPath, const SlotModel& model,
                           std::int32_t refreshIntervalMinutes);

// The image file of slot n: loopImgBase + n + ".gif" with n in decimal
// without leading zeros ("...latest1.gif" .. "...latest20.gif"). No file for
// an n outside 1..20.
std::optional<QString> SlotImageFile(const QString& loopImgBase, int n);

} // namespace nubivista::sets
