#pragma once
// The parts of a product file before its symbology: the WMO/AWIPS heading,
// the message header and the product description block.
#include "feed/level3/byte_reader.h"
#include "feed/level3/product.h"

#include <optional>
#include <variant>

namespace nubivista::feed::level3 {

inline constexpr std::size_t kMessageHeaderSize = 18;
inline constexpr std::size_t kDescriptionBlockSize = 102;
// Where the symbology of a compressed product starts: everything after the
// two blocks is compressed.
inline constexpr std::size_t kBlocksSize = kMessageHeaderSize + kDescriptionBlockSize;

struct HeadingFound {
    WmoHeading heading;
    std::size_t messageStart = 0; // the message header's offset in the file
};

// The heading at the start of the file (up to two short lines of a
// transmission frame may stand before it). Nothing when the file has none; the
// message then starts at offset 0.
std::optional<HeadingFound> readWmoHeading(Bytes file);

// Days since 1 January 1970 (day 1) and seconds after midnight, UTC.
QDateTime productTime(int days, std::int64_t seconds);

std::variant<MessageHeader, DecodeError> readMessageHeader(ByteReader& reader);
std::variant<DescriptionBlock, DecodeError> readDescriptionBlock(ByteReader& reader);

} // namespace nubivista::feed::level3
