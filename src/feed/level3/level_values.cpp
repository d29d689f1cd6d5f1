#include "feed/level3/level_values.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace nubivista::feed::level3 {

namespace {

Level value(double v) {
    return {Level::Kind::Value, v};
}

// A 16-level threshold: the high byte flags, the low byte the number. A set
// top bit names a special level (0 blank, 1 TH, 2 ND, 3 RF, ...); otherwise
// bits 6, 5 and 4 scale the number by 0.01, 0.05 and 0.1, and bit 0 makes it
// negative.
Level sixteenLevel(std::uint16_t threshold) {
    const unsigned flags = threshold >> 8;
    const unsigned number = threshold & 0xFF;
    if (flags & 0x80) {
        // Blank, threshold and no data: nothing was seen there. Range folded
        // and the classes are no value the feed can draw.
        return number <= 2 ? Level{Level::Kind::BelowThreshold, 0} : Level{};
    }
    double v = number;
    if (flags & 0x40)
        v *= 0.01;
    else if (flags & 0x20)
        v *= 0.05;
    else if (flags & 0x10)
        v *= 0.1;
    if (flags & 0x01)
        v = -v;
    return value(v);
}

} // namespace

float floatFromHalfwords(std::uint16_t high, std::uint16_t low) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(high) << 16 | low);
}

std::array<Level, 256> levelTable(const DescriptionBlock& d, const ProductCodeInfo& info) {
    std::array<Level, 256> table{};
    const auto& t = d.thresholds;
    switch (info.scheme) {
    case ValueScheme::SixteenLevels:
        for (std::size_t code = 0; code < t.size(); ++code)
            table[code] = sixteenLevel(t[code]);
        break;
    case ValueScheme::DigitalReflectivity: {
        table[0] = {Level::Kind::BelowThreshold, 0};
        const double minimum = static_cast<std::int16_t>(t[0]) * 0.1;
        const double increment = t[1] * 0.1;
        const int count = std::min<int>(t[2], 254);
        for (int i = 0; i < count; ++i)
            table[2 + i] = value(minimum + i * increment);
        break;
    }
    case ValueScheme::ScaleOffset: {
        table[0] = {Level::Kind::BelowThreshold, 0};
        const double scale = floatFromHalfwords(t[0], t[1]);
        const double offset = floatFromHalfwords(t[2], t[3]);
        const int maximum = std::min<int>(t[5], 255);
        const int leading = std::max<int>(t[6], 1);
        const int trailing = t[7];
        if (!std::isfinite(scale) || scale == 0 || !std::isfinite(offset))
            break;
        for (int code = leading; code <= maximum - trailing; ++code)
            table[code] = value((code - offset) / scale * info.valueFactor);
        break;
    }
    }
    return table;
}

} // namespace nubivista::feed::level3
