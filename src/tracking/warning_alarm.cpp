#include "tracking/warning_alarm.h"

#include "tracking/measurement_math.h"

namespace nubivista::tracking {

namespace {

// The damage threats in rising order; an unknown word counts as none.
int threatRank(const QString& threat) {
    if (threat == QLatin1String("CONSIDERABLE"))
        return 1;
    if (threat == QLatin1String("DESTRUCTIVE") || threat == QLatin1String("CATASTROPHIC"))
        return 2;
    return 0;
}

} // namespace

bool WarningAlarm::critical() const {
    return warning.event == QLatin1String("Tornado Warning") ||
           warning.event == QLatin1String("Extreme Wind Warning");
}

QString WarningAlarm::summary() const {
    return QStringLiteral("%1 for %2 until %3")
        .arg(warning.event, place, warning.expires.toLocalTime().toString(QStringLiteral("HH:mm")));
}

QString WarningAlarm::body() const {
    QStringList parts{warning.headline};
    if (!warning.tornado.isEmpty())
        parts << QStringLiteral("tornado %1").arg(warning.tornado.toLower());
    if (!warning.damageThreat.isEmpty())
        parts << QStringLiteral("damage threat %1").arg(warning.damageThreat.toLower());
    if (warning.hailIn)
        parts << QStringLiteral("hail up to %1 in").arg(*warning.hailIn, 0, 'f', 2);
    if (warning.windMph)
        parts << QStringLiteral("wind gusts to %1 mph").arg(std::lround(*warning.windMph));
    parts.removeAll(QString());
    return parts.join(QStringLiteral("; "));
}

QString WarningAlarm::etaListText() const {
    return QStringLiteral("Warning: %1 for %2 until %3")
        .arg(warning.event, place, etaTimeText(warning.expires.toLocalTime()));
}

std::vector<WarningAlarm> WarningWatch::consider(const WarningsSnapshot& snapshot,
                                                 const std::vector<WatchedPlace>& places,
                                                 const QDateTime& now) {
    std::erase_if(raised_, [&now](const auto& entry) { return entry.second.expires <= now; });
    std::vector<WarningAlarm> alarms;
    for (const Warning& warning : snapshot.warnings) {
        if (!warning.inForceAt(now))
            continue;
        const Raised nowRaised{warning.expires, warning.tornado == QLatin1String("OBSERVED"),
                               threatRank(warning.damageThreat), warning.hailIn.value_or(0),
                               warning.windMph.value_or(0)};
        for (const WatchedPlace& place : places) {
            if (!warningCovers(warning, place.at))
                continue;
            const auto key = std::make_pair(place.name, warning.id);
            const auto before = raised_.find(key);
            if (before != raised_.end()) {
                const Raised& was = before->second;
                const bool upgraded = (nowRaised.observed && !was.observed) ||
                                      (nowRaised.threat > was.threat && nowRaised.threat >= 1) ||
                                      nowRaised.hailIn > was.hailIn ||
                                      nowRaised.windMph > was.windMph;
                // What was told stays the mark: a later downgrade and
                // re-upgrade to the same figure says nothing new.
                Raised& kept = before->second;
                kept.expires = nowRaised.expires;
                kept.observed = kept.observed || nowRaised.observed;
                kept.threat = std::max(kept.threat, nowRaised.threat);
                kept.hailIn = std::max(kept.hailIn, nowRaised.hailIn);
                kept.windMph = std::max(kept.windMph, nowRaised.windMph);
                if (!upgraded)
                    continue;
            } else {
                raised_[key] = nowRaised;
            }
            alarms.push_back({place.name, warning});
        }
    }
    return alarms;
}

} // namespace nubivista::tracking
