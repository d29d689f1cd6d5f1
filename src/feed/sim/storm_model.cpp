#include "feed/sim/storm_model.h"

#include "feed/picture/projection.h"

#include <cmath>
#include <numbers>

namespace nubivista::feed::sim {

quint64 mix64(quint64 value) {
    // SplitMix64 finaliser.
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

quint64 hashCode(const QString& text) {
    quint64 hash = 0xCBF29CE484222325ULL; // FNV-1a
    for (QChar character : text) {
        hash ^= character.unicode();
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

namespace {

class Sequence {
public:
    explicit Sequence(quint64 seed) : m_state(seed) {}
    // Uniform in [low, high).
    double next(double low, double high) {
        m_state = mix64(m_state);
        const double unit = static_cast<double>(m_state >> 11) / 9007199254740992.0;
        return low + (high - low) * unit;
    }

private:
    quint64 m_state;
};

double wrapIntoDomain(double miles) {
    const double width = 2.0 * StormModel::kDomainHalfWidthMiles;
    double shifted = std::fmod(miles + StormModel::kDomainHalfWidthMiles, width);
    if (shifted < 0.0) {
        shifted += width;
    }
    return shifted - StormModel::kDomainHalfWidthMiles;
}

constexpr double kDegrees = std::numbers::pi / 180.0;

} // namespace

StormModel::StormModel(const QString& siteCode) {
    Sequence random(hashCode(siteCode.toLower()));
    m_speedMph = std::round(random.next(15.0, 55.0));
    // Mostly eastward, as weather over the country travels.
    m_headingDegrees = std::round(random.next(20.0, 160.0));
    const int count = static_cast<int>(random.next(16.0, 24.0));
    for (int i = 0; i < count; ++i) {
        Cell cell{};
        cell.eastMiles = random.next(-kDomainHalfWidthMiles, kDomainHalfWidthMiles);
        cell.northMiles = random.next(-kDomainHalfWidthMiles, kDomainHalfWidthMiles);
        cell.peakDbz = random.next(42.0, 66.0);
        cell.radiusMiles = random.next(6.0, 16.0);
        cell.pulsePeriodHours = random.next(1.5, 4.0);
        cell.pulsePhase = random.next(0.0, 2.0 * std::numbers::pi);
        m_cells.push_back(cell);
    }
}

std::vector<CellState> StormModel::cellsAt(qint64 utcSeconds) const {
    const double hours = static_cast<double>(utcSeconds) / 3600.0;
    const double eastSpeed = m_speedMph * std::sin(m_headingDegrees * kDegrees);
    const double northSpeed = m_speedMph * std::cos(m_headingDegrees * kDegrees);
    // The travel is taken modulo the domain width before multiplying out, so that
    // decades of seconds keep full precision.
    const double width = 2.0 * kDomainHalfWidthMiles;
    std::vector<CellState> states;
    states.reserve(m_cells.size());
    for (const Cell& cell : m_cells) {
        CellState state;
        state.eastMiles = wrapIntoDomain(cell.eastMiles + std::fmod(eastSpeed * hours, width));
        state.northMiles = wrapIntoDomain(cell.northMiles + std::fmod(northSpeed * hours, width));
        // Cells grow and decay a little; their tracks do not change.
        const double pulse =
            std::sin(hours * 2.0 * std::numbers::pi / cell.pulsePeriodHours + cell.pulsePhase);
        state.peakDbz = cell.peakDbz + 6.0 * pulse;
        state.radiusMiles = cell.radiusMiles * (1.0 + 0.15 * pulse);
        states.push_back(state);
    }
    return states;
}

// The pictures' own projection, so that a cell's place on the map and its
// latitude and longitude agree.
GeoPoint offsetToLatLon(const Site& site, double eastMiles, double northMiles) {
    const nubivista::feed::picture::GeoPoint point = nubivista::feed::picture::unprojectFrom(
        {site.latitude, site.longitude}, eastMiles, northMiles);
    return {point.latitude, point.longitude};
}

void latLonToOffset(const Site& site, const GeoPoint& point, double& eastMiles,
                    double& northMiles) {
    const nubivista::feed::picture::PlaneOffset offset = nubivista::feed::picture::projectFrom(
        {site.latitude, site.longitude}, {point.latitude, point.longitude});
    eastMiles = offset.east;
    northMiles = offset.north;
}

} // namespace nubivista::feed::sim
