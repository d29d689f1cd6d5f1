#pragma once
// Decoding a NEXRAD Level III product file from its bytes: never throws, never
// reads outside them, and names what was wrong and where when it fails.
#include "feed/level3/product.h"

#include <QByteArray>
#include <span>
#include <variant>

namespace nubivista::feed::level3 {

using DecodeResult = std::variant<Product, DecodeError>;

DecodeResult decodeLevel3(std::span<const std::uint8_t> file);
DecodeResult decodeLevel3(const QByteArray& file);

// The error's text with its offset, for messages and logs.
QString describe(const DecodeError& error);

} // namespace nubivista::feed::level3
