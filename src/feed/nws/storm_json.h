#pragma once
// The storm cells of one scan as the feed serves them (/storms/<site>.json):
// the tracking product's cells with their motion, forecast and past track,
// and what the hail, mesocyclone and vortex products of about the same time
// say of each. Places are the radar's own figures, and latitude and longitude
// through the projection the pictures use.
#include "feed/level3/product.h"
#include "radar/site_table.h"

#include <QByteArray>

namespace nubivista::feed::nws {

struct StormScan {
    const level3::Product* tracking = nullptr; // NST: the cells
    const level3::Product* hail = nullptr;     // NHI, or none held of the time
    const level3::Product* mesocyclones = nullptr;
    const level3::Product* vortices = nullptr;
};

// A mesocyclone of this strength rank or more marks its cell.
inline constexpr int kMesocycloneRank = 5;

QByteArray stormsJson(const radar::SiteRow& site, const StormScan& scan);

} // namespace nubivista::feed::nws
