#include "places/watched_places.h"

namespace nubivista::places {

std::vector<tracking::WatchedPlace> watchedPlaces(const std::vector<Place>& places) {
    std::vector<tracking::WatchedPlace> watched;
    for (const Place& place : places)
        if (place.alarmOn)
            watched.push_back({place.name, {place.latitude, place.longitude}, place.radiusMiles});
    return watched;
}

} // namespace nubivista::places
