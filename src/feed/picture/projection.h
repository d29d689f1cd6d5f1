#pragma once
// The pictures' map is the radar geometry's projection (radar/geometry.h),
// the one the program measures with; here under the pictures' names.
#include "radar/geometry.h"

namespace nubivista::feed::picture {

inline constexpr double kEarthRadiusMiles = radar::kEarthRadiusMiles;
inline constexpr double kKmPerMile = 1.609344;

using radar::GeoPoint;
using radar::PlaneOffset;
using radar::projectFrom;
using radar::unprojectFrom;

} // namespace nubivista::feed::picture
