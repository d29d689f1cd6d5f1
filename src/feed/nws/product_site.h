#pragma once
// Which radar a product comes from: the site that stands where the product
// says it was made. Never guessed from the product's name: the airports'
// radars publish under their office's heading (TZ0STL is TSTL's, not KSTL's).
#include "feed/level3/product.h"
#include "radar/site_table.h"

namespace nubivista::feed::nws {

// The radars stand tens of kilometres apart at the least, and a product rounds
// its position to a thousandth of a degree.
inline constexpr double kSameRadarKm = 10;

// The site nearest the product's position, within kSameRadarKm; null when
// none stands there.
const radar::SiteRow* siteOfProduct(const level3::Product& product);

} // namespace nubivista::feed::nws
