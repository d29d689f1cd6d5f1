#pragma once
// Deleting the checked images of the loop and packing the rest down, and
// cutting the loop off above a tab. Planning is pure: it works out from the
// slot model which files go and which are renamed, and what the model looks
// like afterwards. Carrying a plan out renames files within the loop folder
// one at a time, so that a failure at any point leaves slots that name
// exactly the files still there.
#include "core/clock.h"
#include "sets/slot_model.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace nubivista::sets {

// Indexed by tab 1..20; element 0 is unused.
using TabFlags = std::array<bool, kSlotArraySize>;

struct PackStep {
    enum class Kind {
        Delete, // the image of fromSlot goes, with its file
        Move,   // fromSlot's file is renamed to toSlot's and its image goes along
    };
    Kind kind = Kind::Delete;
    int fromSlot = 0;
    int toSlot = 0; // Move only

    bool operator==(const PackStep&) const = default;
};

struct PackPlan {
    enum class Status {
        NoImages,    // nothing in the loop: nothing to do, nothing to say
        NoneChecked, // no image has its box checked
        Ready,
    };
    Status status = Status::NoImages;
    // Every deletion first, then the renames from the lowest target tab up,
    // so that each rename finds its target already free.
    std::vector<PackStep> steps;
    SlotModel before;
    SlotModel result;
    // The tab to select afterwards: the top remaining image, or 1.
    int selectTab = 1;
};

// Plans deleting the images whose tab is checked in `checked` and moving the
// others down, in tab order, to tabs 1 to n. Checks on empty tabs are
// ignored. When no image remains the ring starts afresh and the last image
// time goes 36 months back from the clock's now, so the next download counts
// as new.
PackPlan planPack(const SlotModel& model, const TabFlags& checked, const core::Clock& clock);

// Follows the plan one step through the model (what the files look like
// after that step).
void applyPackStep(SlotModel& model, const PackStep& step);

// How the caller's slots follow the files while a plan is carried out.
struct PackObserver {
    // Called before each step; tests change the folder behind the program's
    // back here.
    std::function<void(int stepIndex)> beforeStep;
    // slot no longer holds an image: its file was deleted or has gone.
    std::function<void(int slot)> removed;
    // fromSlot's file is now toSlot's file; toSlot takes fromSlot's image.
    std::function<void(int fromSlot, int toSlot)> moved;
};

struct PackOutcome {
    bool done = false;
    int stepsDone = 0;
    QString error;
    // The slots as the files now are.
    SlotModel model;
};

// The image file of a slot 1..20.
using SlotFileName = std::function<QString(int slot)>;

// Carries the plan out. Before the first change every file the plan needs
// must exist and be readable; otherwise nothing is changed. A step that
// fails stops the pack; every slot that still claims a file that is not
// there is then reported removed. The result model's ring fields are not
// set here (see planPack's result).
PackOutcome carryOutPack(const PackPlan& plan, const SlotFileName& slotFile,
                         const PackObserver& observer);

// The ring fields after a pack stopped halfway: the newest slot is the top
// remaining image (0 when none is left), and a full ring that lost images
// has gaps now.
void settleRingAfterFailedPack(SlotModel& model);

struct ResetPlan {
    enum class Status {
        NothingAbove, // the selected tab is the top tab: nothing to clear
        GapBelow,     // a tab at or below the selected one has no image
        Ready,
    };
    Status status = Status::NothingAbove;
    // The slots to empty, from tab 20 down (their files stay on disk).
    std::vector<int> clearSlots;
    SlotModel result;
};

// Plans keeping the images up to tab `selectedTab` and emptying every tab
// above it.
ResetPlan planReset(const SlotModel& model, int selectedTab, const core::Clock& clock);

} // namespace nubivista::sets
