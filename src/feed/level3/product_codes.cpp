#include "feed/level3/product_codes.h"

#include "feed/level3/blocks.h"

#include <array>

namespace nubivista::feed::level3 {

namespace {

using L = QLatin1String;
constexpr auto Sixteen = ValueScheme::SixteenLevels;

// The digital accumulations count in hundredths of an inch. The Terminal
// Doppler Weather Radars' reflectivity (TZ0, TZL) has the digital form of the
// network's, with finer bins over a shorter range.
constexpr std::array<ProductCodeInfo, 17> Codes{{
    {19, L("N0R"), 230, 1, Sixteen, L("dBZ"), 1, false},
    {20, L("N0Z"), 460, 2, Sixteen, L("dBZ"), 1, false},
    {27, L("N0V"), 230, 1, Sixteen, L("kt"), 1, false},
    {37, L("NCR"), 230, 1, Sixteen, L("dBZ"), 1, false},
    {38, L("NCZ"), 460, 4, Sixteen, L("dBZ"), 1, false},
    {78, L("N1P"), 230, 2, Sixteen, L("in"), 1, false},
    {80, L("NTP"), 230, 2, Sixteen, L("in"), 1, false},
    {94, L("N0Q"), 460, 1, ValueScheme::DigitalReflectivity, L("dBZ"), 1, true},
    {153, L("N0B"), 460, 0.25, ValueScheme::DigitalReflectivity, L("dBZ"), 1, true},
    {170, L("DAA"), 230, 0.25, ValueScheme::ScaleOffset, L("in"), 0.01, true, true},
    {172, L("DTA"), 230, 0.25, ValueScheme::ScaleOffset, L("in"), 0.01, true, true},
    {180, L("TZ0"), 90, 0.15, ValueScheme::DigitalReflectivity, L("dBZ"), 1, true},
    {186, L("TZL"), 417, 0.3, ValueScheme::DigitalReflectivity, L("dBZ"), 1, true},
    // The storm products: storm tracking, hail, tornado vortex signatures and
    // mesocyclones.
    {58, L("NST"), 345, 0, Sixteen, L(""), 1, false, false, true},
    {59, L("NHI"), 230, 0, Sixteen, L(""), 1, false, false, true},
    {61, L("NTV"), 230, 0, Sixteen, L(""), 1, false, false, true},
    {141, L("NMD"), 230, 0, Sixteen, L(""), 1, false, false, true},
}};

} // namespace

const ProductCodeInfo* productCodeInfo(int code) {
    for (const ProductCodeInfo& info : Codes)
        if (info.code == code)
            return &info;
    return nullptr;
}

const ProductCodeInfo* productCodeInfo(const QString& awipsPrefix) {
    for (const ProductCodeInfo& info : Codes)
        if (awipsPrefix == info.awipsPrefix)
            return &info;
    return nullptr;
}

std::optional<QDateTime> accumulationStart(const Product& product) {
    // Days since 1969-12-31 and minutes of the day, in product-dependent
    // halfwords: 27 and 28 in the dual-polarisation storm total (DTA), 48 and
    // 49 in the legacy one (NTP).
    const auto& dependent = product.description.dependent;
    const int code = product.description.productCode;
    if (code != 172 && code != 80)
        return std::nullopt;
    const std::size_t at = code == 172 ? 0 : 4;
    const int days = static_cast<std::uint16_t>(dependent[at]);
    const int minutes = static_cast<std::uint16_t>(dependent[at + 1]);
    if (days == 0 || minutes >= 24 * 60)
        return std::nullopt;
    return productTime(days, std::int64_t(minutes) * 60);
}

} // namespace nubivista::feed::level3
