#pragma once

#include <QString>
#include <array>
#include <optional>

namespace radarsim {

enum class ProductKind {
    BaseReflectivity,
    CompositeReflectivity,
    OneHourRainfall,
    StormTotalRainfall
};

struct Product {
    const char* code;    // "DS.p19r0", compared case-sensitively
    const char* caption; // printed in the image header
    ProductKind kind;
    bool longRange;

    bool isRainfall() const {
        return kind == ProductKind::OneHourRainfall || kind == ProductKind::StormTotalRainfall;
    }
    QString codeString() const { return QString::fromLatin1(code); }
};

inline constexpr std::array<Product, 6> kProducts{{
    {"DS.p19r0", "BASE REFLECTIVITY", ProductKind::BaseReflectivity, false},
    {"DS.p20-r", "BASE REFL LONG RANGE", ProductKind::BaseReflectivity, true},
    {"DS.p37cr", "COMPOSITE REFLECTIVITY", ProductKind::CompositeReflectivity, false},
    {"DS.p38cr", "COMP REFL LONG RANGE", ProductKind::CompositeReflectivity, true},
    {"DS.78ohp", "1-HOUR RAINFALL", ProductKind::OneHourRainfall, false},
    {"DS.80stp", "STORM TOTAL RAINFALL", ProductKind::StormTotalRainfall, false},
}};

// Exact, case-sensitive match of the eight-character code.
std::optional<Product> findProduct(const QString& code);

// Image scale: 15 twips per pixel over the program's default map scale of
// 30.2787 twips per statute mile; long range shows twice the distance per pixel.
inline constexpr double kMilesPerPixelShort = 15.0 / 30.2787;
inline constexpr double kMilesPerPixelLong = 2.0 * kMilesPerPixelShort;

inline double milesPerPixel(const Product& product) {
    return product.longRange ? kMilesPerPixelLong : kMilesPerPixelShort;
}

} // namespace radarsim
