#pragma once
// The warning alarm: a watched place inside the polygon of a warning in force
// is told once per warning, and again only when the warning is upgraded for
// it (a tornado observed, a damage threat raised to considerable or
// destructive, a larger hail or wind figure). An update that changes nothing
// for the place stays silent.
#include "tracking/storm_alarm.h"
#include "tracking/warnings.h"

#include <map>
#include <utility>
#include <vector>

namespace nubivista::tracking {

struct WarningAlarm {
    QString place;
    Warning warning;

    // Tornado and extreme wind warnings.
    bool critical() const;
    // "Tornado Warning for Home until 21:45" (local time).
    QString summary() const;
    // The headline, and what the warning says of hail, wind and tornado.
    QString body() const;
    // The row of the ETA list: "Warning: Tornado Warning for Home until 9:45 PM
    // 12/10/21".
    QString etaListText() const;
};

class WarningWatch {
public:
    // The alarms the warnings in force at now raise for the places.
    std::vector<WarningAlarm> consider(const WarningsSnapshot& snapshot,
                                       const std::vector<WatchedPlace>& places,
                                       const QDateTime& now);

private:
    struct Raised {
        QDateTime expires;
        bool observed = false;
        int threat = 0;
        double hailIn = 0;
        double windMph = 0;
    };
    std::map<std::pair<QString, QString>, Raised> raised_; // by place and warning
};

} // namespace nubivista::tracking
