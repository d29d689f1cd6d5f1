#pragma once
// What the decoder accepts of one product, checked before anything is
// allocated, so that a small hostile file can neither exhaust memory nor hold
// a thread for long. Each cap is well above the largest real product seen:
// the figures beside them.
#include <cstdint>

namespace nubivista::feed::level3 {

// Expanded size of a bzip2 or broadcast-wrapped product. N0B, 1.33 MB.
inline constexpr std::uint32_t kMaxUncompressed = 4u << 20;
// Layers in the symbology block. DTA, 2.
inline constexpr int kMaxLayers = 18;
// Packets of any kind in one layer, and in the whole product. The storm
// structure product, 116 in one layer; a hundred tracked storms give ~400.
inline constexpr int kMaxPacketsPerLayer = 1000;
inline constexpr int kMaxPacketsPerProduct = 2000;
// Radial and raster packets in one product, each drawn over the whole
// picture: drawing costs at most this many passes. Every real product, 1.
inline constexpr int kMaxDataPackets = 4;
// Radials in one packet. N0B's half-degree radials, 720.
inline constexpr int kMaxRadials = 1000;
// Range bins in one radial, and boxes in one raster row. N0B, 1,840.
inline constexpr int kMaxBins = 2000;
// Rows in one raster packet. NCR, 464.
inline constexpr int kMaxRasterRows = 1000;
// Range bins and raster boxes decoded from one product. N0B, 1,324,800.
inline constexpr int kMaxDecodedBins = 2'000'000;

} // namespace nubivista::feed::level3
