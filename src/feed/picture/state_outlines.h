#pragma once
// The outlines of the states and territories, read from the compact file the
// build makes of the US Census boundaries: the feed asks the weather service
// for the warnings of the states a radar's picture covers.
#include "feed/picture/projection.h"

#include <QString>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace nubivista::feed::picture {

struct StateOutline {
    QString code; // the postal code: "MO"
    // Outer rings and holes alike; each closes itself.
    std::vector<std::vector<GeoPoint>> rings;
};

using StateOutlines = std::vector<StateOutline>;

// The file's outlines, or what was wrong with it.
std::variant<StateOutlines, QString> readStateOutlines(std::span<const std::uint8_t> bytes);
std::variant<StateOutlines, QString> loadStateOutlines(const QString& path);
// The outlines, or none with a warning: the pictures still serve, the
// warnings answer why they cannot.
StateOutlines stateOutlinesOrNone(const QString& path);

// Where the build puts the file: beside the program.
inline constexpr char kStateOutlinesFileName[] = "us-states.bin";

} // namespace nubivista::feed::picture
