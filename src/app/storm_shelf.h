#pragma once
// The storm cells kept beside the loop's images, read once per image and
// turned into marks on its picture: the overlay a loop step hands the view
// without reading or converting anything.
#include "display/storm_marks.h"
#include "radar/geometry.h"
#include "sets/loop_set.h"
#include "tracking/storm_cells.h"

#include <array>
#include <optional>

namespace nubivista::app {

// Whether the storm tracks show, in Preferences.ini.
inline const QString kStormTracksKey = QStringLiteral("Display/StormTracks");

// The marks of a scan's cells on the picture of the radar at site.
display::StormMarks stormMarksFor(const tracking::StormScanCells& scan, const radar::GeoPoint& site,
                                  bool longRange);

// The cells in a storms file; none when it is missing, too large or not
// readable.
std::optional<tracking::StormScanCells> readStormCellsFile(const QString& path);

class StormShelf {
public:
    explicit StormShelf(const sets::LoopSet& loop) : loop_(loop) {}

    // The cells kept beside slot's image, read at the first call.
    const std::optional<tracking::StormScanCells>& cellsOf(int slot);
    // Their marks on the picture; null when the image has no cells.
    display::StormMarks marksOf(int slot, const radar::GeoPoint& site, bool longRange);

    // Slot's image or its storms file changed.
    void forget(int slot);
    void forgetAll();

private:
    struct Entry {
        bool read = false;
        std::optional<tracking::StormScanCells> cells;
        display::StormMarks marks;
        radar::GeoPoint site;
        bool longRange = false;
    };

    const sets::LoopSet& loop_;
    std::array<Entry, sets::kSlotArraySize> entries_;
};

} // namespace nubivista::app
