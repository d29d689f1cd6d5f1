#pragma once
// The radar sites of the national map: lower-case four-letter site codes and
// the descriptions shown in the main window caption during a process.
#include <QLatin1String>
#include <QString>
#include <span>

namespace nubivista::radar {

struct SiteRow {
    QLatin1String code;        // lower case, four letters
    QLatin1String description; // upper-case code + " - " + place
};

// All 154 sites, in the order of the national map's own list.
std::span<const SiteRow> SiteTable();

// The description of a site code, ignoring the code's letter case; the empty
// text for an empty code or one the table does not hold.
QString SiteDescriptionFor(const QString& code);

} // namespace nubivista::radar
