#pragma once
// The symbology packets the decoder reads, by their codes.
#include <cstdint>

namespace nubivista::feed::level3::packet {

inline constexpr std::uint16_t kText = 1;
inline constexpr std::uint16_t kSymbol = 2;
inline constexpr std::uint16_t kLinkedVector = 6;
inline constexpr std::uint16_t kValuedText = 8;
inline constexpr std::uint16_t kVortex = 12;
inline constexpr std::uint16_t kStormId = 15;
inline constexpr std::uint16_t kDigitalRadials = 16;
inline constexpr std::uint16_t kHail = 19;
inline constexpr std::uint16_t kPointFeature = 20;
inline constexpr std::uint16_t kPastTrack = 23;
inline constexpr std::uint16_t kForecastTrack = 24;
inline constexpr std::uint16_t kCircle = 25;
inline constexpr std::uint16_t kElevatedVortex = 26;
inline constexpr std::uint16_t kRunLengthRadials = 0xAF1F;
inline constexpr std::uint16_t kRasterA = 0xBA0F;
inline constexpr std::uint16_t kRasterB = 0xBA07;

} // namespace nubivista::feed::level3::packet
