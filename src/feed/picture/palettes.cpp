#include "feed/picture/palettes.h"

#include <algorithm>
#include <array>

namespace nubivista::feed::picture {

namespace {

// The classic dBZ scale, 5 dBZ steps from 5 to 75.
constexpr std::array<Rgb, 15> kReflectivityColours{{
    {4, 233, 231},
    {1, 159, 244},
    {3, 0, 244},
    {2, 253, 2},
    {1, 197, 1},
    {0, 142, 0},
    {253, 248, 2},
    {229, 188, 0},
    {253, 149, 0},
    {253, 0, 0},
    {212, 0, 0},
    {188, 0, 0},
    {248, 0, 253},
    {152, 84, 198},
    {253, 253, 253},
}};

// The weather service's precipitation scale, from the first amount the
// rainfall products tell apart: each step its own hue, light blue through
// greens, yellows and reds to purple and white. Its colours are those of the
// reflectivity scale from the second on.
constexpr std::array<double, 14> kRainfallSteps{0.10, 0.25, 0.50, 0.75, 1.00, 1.50, 2.00,
                                                2.50, 3.00, 4.00, 5.00, 6.00, 8.00, 10.00};
constexpr std::array<const char*, 14> kRainfallLabels{".10",  ".25",  ".50",  ".75",  "1.00",
                                                      "1.50", "2.00", "2.50", "3.00", "4.00",
                                                      "5.00", "6.00", "8.00", "10.0"};

Palette makePalette() {
    Palette palette{};
    palette[colour::kWhite] = {255, 255, 255};
    palette[colour::kYellow] = {255, 255, 0};
    palette[colour::kRing] = {96, 96, 96};
    palette[colour::kMapText] = {128, 128, 128};
    palette[colour::kSiteMarker] = {255, 64, 64};
    palette[colour::kLegendText] = {210, 210, 210};
    palette[colour::kCountyLine] = {70, 70, 70};
    palette[colour::kStateLine] = {175, 175, 175};
    palette[colour::kTdwrMarker] = {80, 190, 255};
    palette[colour::kOutline] = {0, 0, 0};
    palette[colour::kTownText] = {235, 235, 235};
    for (std::size_t i = 0; i < kReflectivityColours.size(); ++i)
        palette[colour::kReflectivityFirst + i] = kReflectivityColours[i];
    for (std::size_t i = 0; i < kRainfallSteps.size(); ++i)
        palette[colour::kRainfallFirst + i] = kReflectivityColours[i + 1];
    return palette;
}

} // namespace

const Palette& radarPalette() {
    static const Palette palette = makePalette();
    return palette;
}

std::span<const double> rainfallSteps() {
    return kRainfallSteps;
}

std::span<const char* const> rainfallLabels() {
    return kRainfallLabels;
}

std::uint8_t reflectivityColour(double dbz) {
    if (!(dbz >= 5.0))
        return colour::kBlack;
    const int level = std::min(14, static_cast<int>(dbz / 5.0) - 1);
    return static_cast<std::uint8_t>(colour::kReflectivityFirst + level);
}

std::uint8_t rainfallColour(double inches) {
    if (!(inches >= kRainfallSteps.front()))
        return colour::kBlack;
    int level = 0;
    while (level + 1 < static_cast<int>(kRainfallSteps.size()) &&
           inches >= kRainfallSteps[level + 1])
        ++level;
    return static_cast<std::uint8_t>(colour::kRainfallFirst + level);
}

std::uint8_t echoColour(EchoKind kind, float value) {
    if (EchoGrid::none(value))
        return colour::kBlack;
    return kind == EchoKind::Rainfall ? rainfallColour(value) : reflectivityColour(value);
}

} // namespace nubivista::feed::picture
