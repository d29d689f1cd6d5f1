#pragma once
// The symbology block: its layers and, in them, the radial and raster
// packets and the plain text packets. A packet of another kind ends the walk
// of its layer, which its length lets the next layer start after.
#include "feed/level3/byte_reader.h"
#include "feed/level3/limits.h"
#include "feed/level3/product.h"

#include <variant>

namespace nubivista::feed::level3 {

struct Symbology {
    std::vector<Packet> packets;
    std::vector<QString> texts;
};

// reader stands at the block's divider.
std::variant<Symbology, DecodeError> readSymbology(ByteReader& reader);

} // namespace nubivista::feed::level3
