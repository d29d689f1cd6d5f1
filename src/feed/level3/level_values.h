#pragma once
// The table from a product's level codes to values, read from the thresholds
// of its description block by the product's value scheme.
#include "feed/level3/product.h"
#include "feed/level3/product_codes.h"

namespace nubivista::feed::level3 {

std::array<Level, 256> levelTable(const DescriptionBlock& description, const ProductCodeInfo& info);

// An IEEE single from two halfwords, high first, as the thresholds carry it.
float floatFromHalfwords(std::uint16_t high, std::uint16_t low);

} // namespace nubivista::feed::level3
