#pragma once
// What is kept beside the loop's images (the storm cells of each image's scan
// and the warnings fetched with it), read once per image and turned into marks
// on its picture: the overlay a loop step hands the view without reading or
// converting anything.
#include "display/storm_marks.h"
#include "display/warning_marks.h"
#include "radar/geometry.h"
#include "sets/loop_set.h"
#include "tracking/storm_cells.h"
#include "tracking/warnings.h"

#include <array>
#include <optional>

namespace nubivista::app {

// Whether the storm tracks and the warnings show, in Preferences.ini.
inline const QString kStormTracksKey = QStringLiteral("Display/StormTracks");
inline const QString kWarningsKey = QStringLiteral("Display/Warnings");

// The marks of a scan's cells on the picture of the radar at site.
display::StormMarks stormMarksFor(const tracking::StormScanCells& scan, const radar::GeoPoint& site,
                                  bool longRange);
// The marks of the warnings in force at time on that picture.
display::WarningMarks warningMarksFor(const tracking::WarningsSnapshot& snapshot,
                                      const QDateTime& time, const radar::GeoPoint& site,
                                      bool longRange);

// The cells or warnings in a file kept beside an image; none when it is
// missing, too large or not readable.
std::optional<tracking::StormScanCells> readStormCellsFile(const QString& path);
std::optional<tracking::WarningsSnapshot> readWarningsFile(const QString& path);

class OverlayShelf {
public:
    explicit OverlayShelf(const sets::LoopSet& loop) : loop_(loop) {}

    // What is kept beside slot's image, read at the first call.
    const std::optional<tracking::StormScanCells>& cellsOf(int slot);
    const std::optional<tracking::WarningsSnapshot>& warningsOf(int slot);
    // Their marks on the picture; null when the image has none. The warnings
    // are those in force at the image's time (UTC).
    display::StormMarks marksOf(int slot, const radar::GeoPoint& site, bool longRange);
    display::WarningMarks warningMarksOf(int slot, const QDateTime& imageTime,
                                         const radar::GeoPoint& site, bool longRange);

    // Slot's image or a file beside it changed.
    void forget(int slot);
    void forgetAll();

private:
    struct Entry {
        bool cellsRead = false;
        bool warningsRead = false;
        std::optional<tracking::StormScanCells> cells;
        std::optional<tracking::WarningsSnapshot> warnings;
        display::StormMarks marks;
        display::WarningMarks warningMarks;
        // What the marks were made for.
        radar::GeoPoint site;
        bool longRange = false;
        QDateTime warningsTime;
    };
    Entry* entry(int slot);
    static void useView(Entry& entry, const radar::GeoPoint& site, bool longRange);

    const sets::LoopSet& loop_;
    std::array<Entry, sets::kSlotArraySize> entries_;
};

} // namespace nubivista::app
