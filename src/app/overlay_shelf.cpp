#include "app/overlay_shelf.h"

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

display::WarningMarks warningMarksFor(const tracking::WarningsSnapshot& snapshot,
                                      const QDateTime& time, const radar::GeoPoint& site,
                                      bool longRange) {
    auto marks = std::make_shared<std::vector<display::WarningMark>>();
    for (const tracking::Warning& warning : snapshot.warnings) {
        if (!warning.inForceAt(time))
            continue;
        display::WarningMark mark;
        for (const tracking::GeoPosition& vertex : warning.polygon)
            if (const auto pixel = places::picturePixelOf(site, longRange, geoOf(vertex)))
                mark.outline << *pixel;
        if (mark.outline.size() < 3)
            continue;
        mark.colour = display::warningColour(warning.event);
        mark.label = QStringLiteral("%1 until %2")
                         .arg(warning.event,
                              warning.expires.toLocalTime().toString(QStringLiteral("HH:mm")));
        mark.headline = warning.headline.isEmpty() ? warning.event : warning.headline;
        marks->push_back(std::move(mark));
    }
    return marks;
}

namespace {

std::optional<QByteArray> readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxStormsFileBytes)
        return std::nullopt;
    return file.read(kMaxStormsFileBytes);
}

} // namespace

std::optional<tracking::StormScanCells> readStormCellsFile(const QString& path) {
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes)
        return std::nullopt;
    auto cells = tracking::readStormCells(*bytes);
    if (auto* scan = std::get_if<tracking::StormScanCells>(&cells))
        return std::move(*scan);
    return std::nullopt;
}

std::optional<tracking::WarningsSnapshot> readWarningsFile(const QString& path) {
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes)
        return std::nullopt;
    auto warnings = tracking::readWarnings(*bytes);
    if (auto* snapshot = std::get_if<tracking::WarningsSnapshot>(&warnings))
        return std::move(*snapshot);
    return std::nullopt;
}

OverlayShelf::Entry* OverlayShelf::entry(int slot) {
    return slot >= 1 && slot <= sets::kSlotCount ? &entries_[static_cast<std::size_t>(slot)]
                                                 : nullptr;
}

void OverlayShelf::useView(Entry& entry, const radar::GeoPoint& site, bool longRange) {
    if (entry.longRange == longRange && entry.site.latitude == site.latitude &&
        entry.site.longitude == site.longitude)
        return;
    // Another radar or range: every mark moves.
    entry.marks = nullptr;
    entry.warningMarks = nullptr;
    entry.site = site;
    entry.longRange = longRange;
}

const std::optional<tracking::StormScanCells>& OverlayShelf::cellsOf(int slot) {
    static const std::optional<tracking::StormScanCells> kNone;
    Entry* kept = entry(slot);
    if (kept == nullptr)
        return kNone;
    if (!kept->cellsRead) {
        kept->cellsRead = true;
        kept->cells = loop_.filled(slot)
                          ? readStormCellsFile(sets::stormCellsFileOf(loop_.slotFile(slot)))
                          : std::nullopt;
    }
    return kept->cells;
}

const std::optional<tracking::WarningsSnapshot>& OverlayShelf::warningsOf(int slot) {
    static const std::optional<tracking::WarningsSnapshot> kNone;
    Entry* kept = entry(slot);
    if (kept == nullptr)
        return kNone;
    if (!kept->warningsRead) {
        kept->warningsRead = true;
        kept->warnings = loop_.filled(slot)
                             ? readWarningsFile(sets::warningsFileOf(loop_.slotFile(slot)))
                             : std::nullopt;
    }
    return kept->warnings;
}

display::StormMarks OverlayShelf::marksOf(int slot, const radar::GeoPoint& site, bool longRange) {
    const std::optional<tracking::StormScanCells>& cells = cellsOf(slot);
    if (!cells)
        return nullptr;
    Entry& kept = *entry(slot);
    useView(kept, site, longRange);
    if (!kept.marks)
        kept.marks = stormMarksFor(*cells, site, longRange);
    return kept.marks;
}

display::WarningMarks OverlayShelf::warningMarksOf(int slot, const QDateTime& imageTime,
                                                   const radar::GeoPoint& site, bool longRange) {
    const std::optional<tracking::WarningsSnapshot>& warnings = warningsOf(slot);
    if (!warnings)
        return nullptr;
    Entry& kept = *entry(slot);
    useView(kept, site, longRange);
    if (!kept.warningMarks || kept.warningsTime != imageTime) {
        kept.warningMarks = warningMarksFor(*warnings, imageTime, site, longRange);
        kept.warningsTime = imageTime;
    }
    return kept.warningMarks;
}

void OverlayShelf::forget(int slot) {
    if (Entry* kept = entry(slot))
        *kept = Entry{};
}

void OverlayShelf::forgetAll() {
    entries_.fill(Entry{});
}

} // namespace nubivista::app
