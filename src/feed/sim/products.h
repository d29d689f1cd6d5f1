#pragma once
// The radar products as the simulator draws them: the program's one product
// table.
#include "radar/products.h"

#include <QString>
#include <optional>

namespace nubivista::feed::sim {

using nubivista::radar::ProductKind;
using Product = nubivista::radar::RadarProductCode;
inline constexpr const auto& kProducts = nubivista::radar::RadarProductCodes;

// Exact, case-sensitive match of the eight-character code.
std::optional<Product> findProduct(const QString& code);

// Image scale: 15 twips per pixel over the program's default map scale of
// 30.2787 twips per statute mile; long range shows twice the distance per pixel.
inline constexpr double kMilesPerPixelShort = 15.0 / 30.2787;
inline constexpr double kMilesPerPixelLong = 2.0 * kMilesPerPixelShort;

inline double milesPerPixel(const Product& product) {
    return product.isLongRange() ? kMilesPerPixelLong : kMilesPerPixelShort;
}

} // namespace nubivista::feed::sim
