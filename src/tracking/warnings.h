#pragma once
// The weather service's storm-based warnings in force around a radar, as the
// feed serves them (/warnings/<site>.json), read tolerantly: a warning the
// program cannot read is left out, a figure the warning does not give is
// missing, never zero.
#include "tracking/storm_cells.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace nubivista::tracking {

struct Warning {
    QString id;    // the same through the warning's updates ("KLSX.TO.W.0042")
    QString event; // "Tornado Warning"
    QString headline;
    QDateTime issued;  // UTC, the message in force
    QDateTime expires; // UTC
    std::vector<GeoPosition> polygon;
    std::optional<double> motionFromDeg;
    std::optional<double> motionSpeedKt;
    std::optional<double> hailIn;
    std::optional<double> windMph;
    QString tornado;      // "RADAR INDICATED", "OBSERVED"; empty when not said
    QString damageThreat; // "CONSIDERABLE", "DESTRUCTIVE", ...; empty when not said

    bool inForceAt(const QDateTime& time) const { return issued <= time && time < expires; }
};

struct WarningsSnapshot {
    QString site;
    QDateTime fetched; // UTC; invalid when the feed had not asked
    std::vector<Warning> warnings;
};

std::variant<WarningsSnapshot, QString> readWarnings(const QByteArray& json);

// Whether place lies inside the warning's polygon (its edge counts as inside).
bool warningCovers(const Warning& warning, const GeoPosition& place);

} // namespace nubivista::tracking
