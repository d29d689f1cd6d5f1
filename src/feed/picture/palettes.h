#pragma once
// The pictures' palette: the map's own colours, the classic reflectivity
// scale in 5 dBZ steps and the weather service's precipitation scale in
// inches, and the legend text of each step.
#include "feed/picture/echo_grid.h"
#include "feed/picture/gif_writer.h"

#include <cstdint>
#include <span>

namespace nubivista::feed::picture {

namespace colour {
inline constexpr std::uint8_t kBlack = 0;
inline constexpr std::uint8_t kWhite = 1;
inline constexpr std::uint8_t kYellow = 2;
inline constexpr std::uint8_t kRing = 3;
inline constexpr std::uint8_t kMapText = 4;
inline constexpr std::uint8_t kSiteMarker = 5;
inline constexpr std::uint8_t kLegendText = 6;
inline constexpr std::uint8_t kCountyLine = 7;
inline constexpr std::uint8_t kStateLine = 8;
inline constexpr std::uint8_t kTdwrMarker = 9; // the national map's airport radars
inline constexpr std::uint8_t kOutline = 10;   // black that a map layer can draw
inline constexpr std::uint8_t kTownText = 11;
inline constexpr std::uint8_t kReflectivityFirst = 16; // 15 steps, 5 dBZ apart from 5 dBZ
inline constexpr std::uint8_t kRainfallFirst = 32;     // 14 steps, see rainfallSteps()
} // namespace colour

const Palette& radarPalette();

// The lower edge of each rainfall step, in inches, and its legend text.
std::span<const double> rainfallSteps();
std::span<const char* const> rainfallLabels();

// The palette index of a value; black where it is below the first step.
std::uint8_t reflectivityColour(double dbz);
std::uint8_t rainfallColour(double inches);
std::uint8_t echoColour(EchoKind kind, float value);

} // namespace nubivista::feed::picture
