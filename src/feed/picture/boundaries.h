#pragma once
// The US boundary lines the maps are drawn from (county, state, and the
// nation's coasts and borders), read from the compact file the build makes of
// the US Census boundaries.
#include "feed/picture/projection.h"

#include <QString>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace nubivista::feed::picture {

struct BoundaryLine {
    enum class Kind : std::uint8_t { County = 1, State = 2, Outline = 3 };
    Kind kind = Kind::County;
    std::vector<GeoPoint> points;
    // The line's extent, to pass over lines far from a radar at once.
    double south = 0, north = 0, west = 0, east = 0;
};

using BoundaryLines = std::vector<BoundaryLine>;

// The file's lines, or what was wrong with it.
std::variant<BoundaryLines, QString> readBoundaries(std::span<const std::uint8_t> bytes);
std::variant<BoundaryLines, QString> loadBoundaries(const QString& path);

// Where the build puts the file: beside the program.
inline constexpr char kBoundariesFileName[] = "us-boundaries.bin";

} // namespace nubivista::feed::picture
