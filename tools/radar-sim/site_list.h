#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace radarsim {

// One WSR-88D radar site as the simulator knows it.
struct Site {
    QString code;  // lower case, four letters ("kmkx")
    QString name;  // station name, upper case ("MILWAUKEE")
    QString state; // two letters, or the territory ("GU")
    double latitude = 0.0;
    double longitude = 0.0;

    // "KMKX - MILWAUKEE, WI"
    QString title() const;
};

// The 154 sites, in the order of the program's site table, read from the data file
// built into the simulator.
const std::vector<Site>& allSites();

// Case-insensitive lookup by four-letter code.
std::optional<Site> findSite(const QString& code);

// Parses the tab-separated site list (comment lines start with '#', one header
// line). Rows that do not parse are skipped.
std::vector<Site> parseSiteList(const QByteArray& tsv);

} // namespace radarsim
