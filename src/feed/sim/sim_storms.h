#pragma once
// The simulated radars' storm cells at /storms/<site>.json, in the form the
// live source serves the tracking products' cells: every cell of the storm
// model inside the long-range picture, with its motion, a straight forecast
// track, its past places and hail, mesocyclone and vortex marks derived from
// its strength, so that every symbol of the program shows on the simulator.
#include "feed/server/request.h"
#include "feed/sim/sim_clock.h"
#include "feed/sim/site_list.h"

#include <QByteArray>
#include <QString>

namespace nubivista::feed::sim {

// Statute miles in a nautical mile.
inline constexpr double kMilesPerNauticalMile = 1.150779;

// The body of a site's storm cells at a frame time.
QByteArray stormCellsJson(const Site& site, qint64 scanSeconds);

// True for the paths stormsReply answers.
bool isStormsPath(const QString& path);

// The answer to /storms/<site>.json, or with ?scan=<ISO UTC> to one of the ten
// newest frames, at the clock's time.
server::Reply stormsReply(const server::RequestInfo& request, const SimClock& clock);

} // namespace nubivista::feed::sim
