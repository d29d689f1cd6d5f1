#pragma once
// The places a storm alarm watches: those whose alarm is on, in the form the
// approach alarm takes them.
#include "places/place.h"
#include "tracking/storm_alarm.h"

#include <vector>

namespace nubivista::places {

std::vector<tracking::WatchedPlace> watchedPlaces(const std::vector<Place>& places);

} // namespace nubivista::places
