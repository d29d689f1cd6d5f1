#pragma once
// Products from the satellite broadcast come wrapped: after their heading,
// the product again (with its own heading) in one or more zlib streams, each
// opened by the broadcast's control block. This unwraps them.
#include "feed/level3/byte_reader.h"
#include "feed/level3/product.h"

#include <variant>
#include <vector>

namespace nubivista::feed::level3 {

// True when the bytes open with a zlib stream's header.
bool startsZlibStream(Bytes bytes);

// The zlib streams one after another, expanded and joined, the control
// block before the inner heading left out. offset is where the bytes stand in
// the file, for errors. Never more than maxBytes.
std::variant<std::vector<std::uint8_t>, DecodeError>
unwrapBroadcast(Bytes wrapped, std::size_t offset, std::size_t maxBytes);

} // namespace nubivista::feed::level3
