#pragma once
// What the feed knows of each Level III product code it draws: its range,
// how its level codes become values, and their unit. One table.
#include "feed/level3/product.h"

#include <QLatin1String>
#include <optional>

namespace nubivista::feed::level3 {

enum class ValueScheme {
    SixteenLevels,       // the thresholds name each of 16 levels
    DigitalReflectivity, // minimum and increment in tenths of dBZ, codes from 2
    ScaleOffset,         // value = (code - offset) / scale, IEEE floats in the thresholds
};

struct ProductCodeInfo {
    int code;
    QLatin1String awipsPrefix; // "N0R"
    double maxRangeKm;         // how far from the radar the product reaches
    double resolutionKm;       // a radial bin's length, or a raster box's side
    ValueScheme scheme;
    QLatin1String unit;   // of the values: "dBZ", "in", "kt"
    double valueFactor;   // what the scheme's numbers are multiplied by to be in unit
    bool mayBeCompressed; // its symbology may come compressed with bzip2
    // The low byte of halfword 30 flags a null product: no rain since the
    // accumulation began.
    bool hasNullFlag = false;
    // A storm product: figures of storm cells and their tables, no picture.
    bool storms = false;
};

// The row of a product code; null for a code the feed does not draw.
const ProductCodeInfo* productCodeInfo(int code);
// The row of a product's three letters ("N0Q"); null when the feed draws none.
const ProductCodeInfo* productCodeInfo(const QString& awipsPrefix);

// When a storm total's accumulation began (UTC), as the product says; none
// for the other products.
std::optional<QDateTime> accumulationStart(const Product& product);

} // namespace nubivista::feed::level3
