#pragma once
// The radar sites of the national map: lower-case four-letter site codes, the
// descriptions shown in the main window caption during a process, and where
// each radar stands.
#include <QLatin1String>
#include <QString>
#include <span>

namespace nubivista::radar {

// The weather service publishes Level III products of two kinds of radar: the
// network's WSR-88D and the airports' Terminal Doppler Weather Radars.
enum class RadarType { Wsr88d, Tdwr };

struct SiteRow {
    QLatin1String code;        // lower case, four letters
    QLatin1String description; // upper-case code + " - " + place
    QLatin1String stationName; // the station list's name, upper case ("MILWAUKEE")
    QLatin1String state;       // two letters: the state, territory ("GU") or country ("KR")
    double latitude = 0;       // degrees north
    double longitude = 0;      // degrees east (negative in the west)
    RadarType type = RadarType::Wsr88d;

    // "KMKX - MILWAUKEE, WI", as the radar pictures title a site.
    QString stationTitle() const;
};

// Every site the weather service publishes: the 154 WSR-88D the program has
// always listed first, in their order, then the other radars.
std::span<const SiteRow> SiteTable();

// The description of a site code, ignoring the code's letter case; the empty
// text for an empty code or one the table does not hold.
QString SiteDescriptionFor(const QString& code);

// The row of a site code, ignoring its letter case; null when there is none.
const SiteRow* FindSite(const QString& code);

} // namespace nubivista::radar
