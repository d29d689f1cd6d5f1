#include "acquisition/feed_choice.h"

namespace nubivista::acquisition {

QString feedDescription(const FeedChoice& choice) {
    switch (choice.source) {
    case FeedSource::Live:
        return QStringLiteral(
            "Radar data: today's NEXRAD Level III products of the National Weather Service "
            "(NOAA), fetched and drawn by the program's feed, nubivista-feed. Map lines: US "
            "Census Bureau. Town names: GeoNames (geonames.org), licensed under CC BY 4.0.");
    case FeedSource::Demo:
        return QStringLiteral(
            "Radar data: the demo. Every picture is a simulated storm drawn by the program's "
            "feed, nubivista-feed; none of it is real weather. Town names: GeoNames "
            "(geonames.org), licensed under CC BY 4.0.");
    case FeedSource::External:
        break;
    }
    return QStringLiteral("Radar data: the feed at %1, started outside the program.")
        .arg(choice.address.toString());
}

} // namespace nubivista::acquisition
