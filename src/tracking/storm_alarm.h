#pragma once
// The approach alarm: after each new scan, for every watched place, the
// closest approach of each storm cell's forecast path (now, then 15, 30, 45
// and 60 minutes, as far as the radar forecasts); a cell that comes within the
// place's radius raises an alarm, once, and again only when it comes 5 or more
// minutes earlier or turns dangerous.
#include "tracking/storm_cells.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace nubivista::tracking {

struct WatchedPlace {
    QString name;
    GeoPosition at;
    double radiusMiles = 0;
};

struct Approach {
    double minutes = 0;       // after the scan
    double distanceMiles = 0; // at the closest
};

// Along the forecast path; none for a cell the radar gives no forecast.
std::optional<Approach> closestApproach(const StormCell& cell, const GeoPosition& place);

struct StormAlarm {
    QString place;
    StormCell cell;
    QDateTime eta; // UTC
    double minutesFromScan = 0;
    double distanceMiles = 0;

    // A tornado vortex signature, or severe hail at 50 % or more.
    bool critical() const;
    // "Storm X0 near Home at 21:47" (local time).
    QString summary() const;
    // The details, with the ETA as timeText writes a time (the time box's form).
    QString body(const std::function<QString(const QDateTime&)>& timeText) const;
    // The row of the ETA list, in the form of the measured ETAs, marked as the
    // radar's forecast: "Radar forecast X0 near Home: ETA: 9:47 PM 12/10/21 ...
    // 1.2 Mi @ 47 Mi/Hr @ 56 deg. NE".
    QString etaListText() const;
};

class StormWatch {
public:
    // The alarms a scan raises for the places.
    std::vector<StormAlarm> consider(const StormScanCells& scan,
                                     const std::vector<WatchedPlace>& places);

private:
    struct Raised {
        QDateTime eta;
        bool severeHail = false;
        bool mesocyclone = false;
        bool tvs = false;
    };
    std::map<std::pair<QString, QString>, Raised> raised_; // by place and cell
};

} // namespace nubivista::tracking
