#pragma once
// The radar sites of the national map: lower-case four-letter site codes, the
// descriptions shown in the main window caption during a process, and where
// each radar stands.
#include <QLatin1String>
#include <QString>
#include <span>

namespace nubivista::radar {

struct SiteRow {
    QLatin1String code;        // lower case, four letters
    QLatin1String description; // upper-case code + " - " + place
    QLatin1String stationName; // the station list's name, upper case ("MILWAUKEE")
    QLatin1String state;       // two letters, or the territory ("GU")
    double latitude = 0;       // degrees north
    double longitude = 0;      // degrees east (negative in the west)

    // "KMKX - MILWAUKEE, WI", as the radar pictures title a site.
    QString stationTitle() const;
};

// All 154 sites, in the order of the national map's own list.
std::span<const SiteRow> SiteTable();

// The description of a site code, ignoring the code's letter case; the empty
// text for an empty code or one the table does not hold.
QString SiteDescriptionFor(const QString& code);

// The row of a site code, ignoring its letter case; null when there is none.
const SiteRow* FindSite(const QString& code);

} // namespace nubivista::radar
