#pragma once

#include "feed/sim/site_list.h"

#include <QtGlobal>
#include <vector>

namespace nubivista::feed::sim {

// A storm cell in miles east and north of the radar site.
struct CellState {
    double eastMiles = 0.0;
    double northMiles = 0.0;
    double peakDbz = 0.0;     // strongest echo at the core
    double radiusMiles = 0.0; // e-folding radius of the core
};

// The storms around one site: a handful of cells that all travel at one speed and
// heading, both fixed by the site code, so that measurements on the images can be
// checked against the truth. Cells leave the simulated area (300 miles each way,
// past the long-range view) on one side and come back on the other.
class StormModel {
public:
    explicit StormModel(const QString& siteCode);

    double speedMph() const { return m_speedMph; }
    double headingDegrees() const { return m_headingDegrees; } // travel, clockwise from north

    std::vector<CellState> cellsAt(qint64 utcSeconds) const;

    static constexpr double kDomainHalfWidthMiles = 300.0;

private:
    struct Cell {
        double eastMiles;
        double northMiles;
        double peakDbz;
        double radiusMiles;
        double pulsePeriodHours;
        double pulsePhase;
    };
    double m_speedMph = 0.0;
    double m_headingDegrees = 0.0;
    std::vector<Cell> m_cells;
};

// A position on the map around a site: miles east/north of it.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};
GeoPoint offsetToLatLon(const Site& site, double eastMiles, double northMiles);
void latLonToOffset(const Site& site, const GeoPoint& point, double& eastMiles, double& northMiles);

inline constexpr double kMilesPerDegreeLatitude = 69.0932; // mean Earth radius 3958.8 mi

// Deterministic 64-bit mixing, the simulator's only source of "randomness".
quint64 mix64(quint64 value);
quint64 hashCode(const QString& text);

} // namespace nubivista::feed::sim
