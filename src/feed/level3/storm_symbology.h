#pragma once
// The storm products' symbology: storm ids (packet 15), their past and
// forecast tracks (23 and 24, of special symbols, packet 2, joined by a
// linked vector, 6), hail (19), point features (20), circles (25) and tornado
// vortex signatures (12, and 26 for elevated ones). Text and linked vectors
// are passed over; a packet of another kind ends its layer.
#include "feed/level3/byte_reader.h"
#include "feed/level3/product.h"
#include "feed/level3/storm_report.h"

#include <variant>

namespace nubivista::feed::level3 {

// reader stands at the block's divider.
std::variant<StormSymbols, DecodeError> readStormSymbology(ByteReader& reader);

} // namespace nubivista::feed::level3
