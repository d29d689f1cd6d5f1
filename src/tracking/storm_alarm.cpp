#include "tracking/storm_alarm.h"

#include "tracking/measurement_math.h"

#include <cmath>
#include <numbers>

namespace nubivista::tracking {

namespace {

constexpr double kMilesPerDegree = 69.09; // of latitude, and of longitude at the equator
constexpr double kMphPerKnot = 1.150779;
constexpr double kEarlierMinutes = 5;
constexpr qint64 kForgetAfterMinutes = 60;
constexpr int kSevereHailPercent = 50;

struct Flat {
    double east = 0;
    double north = 0;
};

// Miles east and north of origin.
Flat flat(const GeoPosition& origin, const GeoPosition& p) {
    const double cosine = std::cos(origin.latitude * std::numbers::pi / 180);
    return {(p.longitude - origin.longitude) * kMilesPerDegree * cosine,
            (p.latitude - origin.latitude) * kMilesPerDegree};
}

bool severeHail(const StormCell& cell) {
    return cell.hail && cell.hail->severeProbability >= kSevereHailPercent;
}

} // namespace

std::optional<Approach> closestApproach(const StormCell& cell, const GeoPosition& place) {
    std::vector<std::pair<double, Flat>> path{{0.0, flat(place, cell.at)}};
    for (std::size_t slot = 0; slot < cell.forecast.size() && cell.forecast[slot]; ++slot)
        path.emplace_back(15.0 * double(slot + 1), flat(place, *cell.forecast[slot]));
    if (path.size() < 2)
        return std::nullopt;
    std::optional<Approach> best;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const auto& [t0, a] = path[i];
        const auto& [t1, b] = path[i + 1];
        const double dx = b.east - a.east;
        const double dy = b.north - a.north;
        const double length = dx * dx + dy * dy;
        // The place is the origin: the nearest point of the segment to it.
        const double u =
            length > 0 ? std::clamp(-(a.east * dx + a.north * dy) / length, 0.0, 1.0) : 0.0;
        const double distance = std::hypot(a.east + u * dx, a.north + u * dy);
        if (!best || distance < best->distanceMiles)
            best = Approach{t0 + u * (t1 - t0), distance};
    }
    return best;
}

bool StormAlarm::critical() const {
    return cell.tvs || severeHail(cell);
}

QString StormAlarm::summary() const {
    return QStringLiteral("Storm %1 near %2 at %3")
        .arg(cell.id, place, eta.toLocalTime().toString(QStringLiteral("HH:mm")));
}

QString StormAlarm::body(const std::function<QString(const QDateTime&)>& timeText) const {
    QStringList parts{QStringLiteral("ETA %1 (%2 min after the scan), closest %3 mi")
                          .arg(timeText(eta))
                          .arg(std::lround(minutesFromScan))
                          .arg(numberText(distanceMiles, 1))};
    parts << cellTraits(cell);
    return parts.join(QStringLiteral("; "));
}

QString StormAlarm::etaListText() const {
    QString text =
        QStringLiteral("Radar forecast %1 near %2: ETA: %3 ... %4 Mi")
            .arg(cell.id, place, etaTimeText(eta.toLocalTime()), numberText(distanceMiles, 1));
    if (cell.movementFromDeg && cell.speedKt) {
        const int heading = int(std::lround(*cell.movementFromDeg + 180)) % 360;
        text += QStringLiteral(" @ %1 Mi/Hr @ %2 deg. %3")
                    .arg(numberText(*cell.speedKt * kMphPerKnot))
                    .arg(heading)
                    .arg(CompassPoint(heading));
    }
    return text;
}

std::vector<StormAlarm> StormWatch::consider(const StormScanCells& scan,
                                             const std::vector<WatchedPlace>& places) {
    // The radar gives a finished cell's id to a new one before long: an alarm
    // whose time has long passed says nothing of a storm that comes now.
    std::erase_if(raised_, [&scan](const auto& entry) {
        return entry.second.eta.secsTo(scan.scanTime) > kForgetAfterMinutes * 60;
    });
    std::vector<StormAlarm> alarms;
    for (const WatchedPlace& place : places) {
        for (const StormCell& cell : scan.cells) {
            const std::optional<Approach> approach = closestApproach(cell, place.at);
            if (!approach || approach->distanceMiles > place.radiusMiles)
                continue;
            const QDateTime eta =
                scan.scanTime.addSecs(std::lround(approach->minutes * 60)).toUTC();
            const Raised now{eta, severeHail(cell), cell.mesocyclone, cell.tvs};
            // Ids are the radar's own: another radar's X0 is another storm.
            const auto key = std::make_pair(place.name, scan.site + u'/' + cell.id);
            const auto before = raised_.find(key);
            if (before != raised_.end()) {
                const Raised& was = before->second;
                const bool earlier = eta.secsTo(was.eta) >= kEarlierMinutes * 60;
                const bool worse = (now.severeHail && !was.severeHail) ||
                                   (now.mesocyclone && !was.mesocyclone) || (now.tvs && !was.tvs);
                if (!earlier && !worse)
                    continue;
            }
            raised_[key] = now;
            alarms.push_back({place.name, cell, eta, approach->minutes, approach->distanceMiles});
        }
    }
    return alarms;
}

} // namespace nubivista::tracking
