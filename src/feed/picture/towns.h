#pragma once
// The towns the pictures name, read from the compact file the build makes of
// the GeoNames towns (towns of 1,000 people or more, CC BY 4.0), the most
// populous first.
#include "feed/picture/projection.h"

#include <QString>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace nubivista::feed::picture {

struct Town {
    QString name; // plain ASCII: "St. Louis"
    GeoPoint position;
    std::uint32_t population = 0;
    QString state; // "MO"; empty outside the United States
};

using Towns = std::vector<Town>;

// The file's towns, or what was wrong with it.
std::variant<Towns, QString> readTowns(std::span<const std::uint8_t> bytes);
std::variant<Towns, QString> loadTowns(const QString& path);
// The towns, or none with a warning: pictures without names still serve.
Towns townsOrNone(const QString& path);

// Where the build puts the file: beside the program.
inline constexpr char kTownsFileName[] = "towns.bin";

} // namespace nubivista::feed::picture
