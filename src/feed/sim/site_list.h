#pragma once
// The radar sites as the simulator draws them: the program's one site table.
#include <QString>
#include <optional>
#include <vector>

namespace nubivista::feed::sim {

// One radar site, WSR-88D or airport radar, as the simulator knows it.
struct Site {
    QString code;  // lower case, four letters ("kmkx")
    QString name;  // station name, upper case ("MILWAUKEE")
    QString state; // two letters, or the territory ("GU")
    double latitude = 0.0;
    double longitude = 0.0;

    // "KMKX - MILWAUKEE, WI"
    QString title() const;
};

// Every site, in the order of the program's site table.
const std::vector<Site>& allSites();

// Case-insensitive lookup by four-letter code.
std::optional<Site> findSite(const QString& code);

} // namespace nubivista::feed::sim
