#include "app/storm_shelf.h"

#include "places/picture_position.h"
#include "sets/companion_files.h"

#include <QFile>
#include <variant>

namespace nubivista::app {

namespace {

// The feed's answers are far smaller; a larger file is none of its.
constexpr qint64 kMaxStormsFileBytes = 1024 * 1024;
constexpr int kLikelyHailPercent = 50;

radar::GeoPoint geoOf(const tracking::GeoPosition& at) {
    return {at.latitude, at.longitude};
}

display::StormMark::Hail hailOf(const tracking::StormCell& cell) {
    if (!cell.hail)
        return display::StormMark::Hail::None;
    if (cell.hail->severeProbability >= kLikelyHailPercent)
        return display::StormMark::Hail::Severe;
    if (cell.hail->probability >= kLikelyHailPercent)
        return display::StormMark::Hail::Likely;
    return display::StormMark::Hail::None;
}

} // namespace

display::StormMarks stormMarksFor(const tracking::StormScanCells& scan, const radar::GeoPoint& site,
                                  bool longRange) {
    auto marks = std::make_shared<std::vector<display::StormMark>>();
    const auto pixelOf = [&](const tracking::GeoPosition& at) {
        return places::picturePixelOf(site, longRange, geoOf(at));
    };
    for (const tracking::StormCell& cell : scan.cells) {
        const std::optional<QPointF> at = pixelOf(cell.at);
        if (!at)
            continue;
        display::StormMark mark;
        mark.id = cell.id;
        mark.at = *at;
        for (const tracking::GeoPosition& past : cell.past)
            if (const std::optional<QPointF> pixel = pixelOf(past))
                mark.past.push_back(*pixel);
        for (std::size_t i = 0; i < cell.forecast.size(); ++i)
            if (cell.forecast[i])
                mark.ahead[i] = pixelOf(*cell.forecast[i]);
        mark.hail = hailOf(cell);
        mark.mesocyclone = cell.mesocyclone;
        mark.tvs = cell.tvs;
        mark.details = tracking::cellDetails(cell);
        marks->push_back(std::move(mark));
    }
    return marks;
}

std::optional<tracking::StormScanCells> readStormCellsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxStormsFileBytes)
        return std::nullopt;
    auto cells = tracking::readStormCells(file.read(kMaxStormsFileBytes));
    if (auto* scan = std::get_if<tracking::StormScanCells>(&cells))
        return std::move(*scan);
    return std::nullopt;
}

const std::optional<tracking::StormScanCells>& StormShelf::cellsOf(int slot) {
    static const std::optional<tracking::StormScanCells> kNone;
    if (slot < 1 || slot > sets::kSlotCount)
        return kNone;
    Entry& entry = entries_[static_cast<std::size_t>(slot)];
    if (!entry.read) {
        entry.read = true;
        entry.cells = loop_.filled(slot)
                          ? readStormCellsFile(sets::stormCellsFileOf(loop_.slotFile(slot)))
                          : std::nullopt;
    }
    return entry.cells;
}

display::StormMarks StormShelf::marksOf(int slot, const radar::GeoPoint& site, bool longRange) {
    const std::optional<tracking::StormScanCells>& cells = cellsOf(slot);
    if (!cells)
        return nullptr;
    Entry& entry = entries_[static_cast<std::size_t>(slot)];
    if (!entry.marks || entry.longRange != longRange || entry.site.latitude != site.latitude ||
        entry.site.longitude != site.longitude) {
        entry.marks = stormMarksFor(*cells, site, longRange);
        entry.site = site;
        entry.longRange = longRange;
    }
    return entry.marks;
}

void StormShelf::forget(int slot) {
    if (slot >= 1 && slot <= sets::kSlotCount)
        entries_[static_cast<std::size_t>(slot)] = Entry{};
}

void StormShelf::forgetAll() {
    entries_.fill(Entry{});
}

} // namespace nubivista::app
