#pragma once
// The map under a radar's pictures: county and state lines and the coasts,
// range rings, the neighbouring radars (WSR-88D and airport radars), the
// towns and the radar itself, drawn once per radar and range on a layer whose
// index 0 is transparent.
#include "feed/picture/boundaries.h"
#include "feed/picture/indexed_image.h"
#include "feed/picture/towns.h"
#include "radar/site_table.h"

namespace nubivista::feed::picture {

IndexedImage basemapLayer(const BoundaryLines& lines, const radar::SiteRow& site, bool longRange,
                          const Towns& towns = {});

} // namespace nubivista::feed::picture
