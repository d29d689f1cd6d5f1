#pragma once
// What a NEXRAD Level III product file holds, as far as the feed draws it:
// the WMO/AWIPS heading, the message header, the product description block
// and the symbology block's radial and raster packets, with the table that
// turns their level codes into values.
#include "feed/level3/storm_report.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace nubivista::feed::level3 {

// "SDUS53 KLSX 041639" then "N0RLSX".
struct WmoHeading {
    QString dataType;      // "SDUS53"
    QString office;        // "KLSX"
    QString dayHourMinute; // "041639"
    QString awipsId;       // "N0RLSX": product "N0R", site "LSX"
};

struct MessageHeader {
    int productCode = 0;
    QDateTime messageTime; // UTC
    std::uint32_t length = 0;
    int sourceId = 0;
    int blockCount = 0;
};

struct DescriptionBlock {
    double latitude = 0;  // degrees north
    double longitude = 0; // degrees east
    int heightFeet = 0;
    int productCode = 0;
    int operationalMode = 0;
    int volumeCoveragePattern = 0;
    int sequenceNumber = 0;
    int volumeScanNumber = 0;
    QDateTime volumeScanTime; // UTC: the scan this product comes from
    QDateTime generationTime; // UTC
    int elevationNumber = 0;
    // Product dependent halfwords 27, 28, 30, 47 to 53, in that order.
    std::array<std::int16_t, 10> dependent{};
    std::array<std::uint16_t, 16> thresholds{};
    std::uint32_t symbologyOffset = 0; // halfwords from the message start
    std::uint32_t graphicOffset = 0;
    std::uint32_t tabularOffset = 0;
    bool bzip2 = false; // everything after this block is compressed
    std::uint32_t uncompressedSize = 0;
};

// One radial: its level codes from the first range bin outwards, as many as
// it holds; the bins past them hold no echo (code 0).
struct Radial {
    double startAngle = 0; // degrees clockwise from north
    double angleDelta = 0; // degrees
    std::vector<std::uint8_t> levels;

    std::uint8_t levelAt(std::size_t bin) const { return bin < levels.size() ? levels[bin] : 0; }
};

// Run-length radials (0xAF1F: 16 levels) or digital radials (16: 256 levels).
struct RadialSweep {
    bool digital = false;
    int firstBin = 0;
    int binCount = 0;
    std::vector<Radial> radials;
};

// Raster rows (0xBA0F, 0xBA07): a square grid of boxes centred on the radar,
// rows from north to south, each from west to east. The packet's own start
// and scale are screen positions, not distances, so the box size comes from
// the product's range: the rows span it both ways.
struct RasterGrid {
    double boxKm = 0;
    std::vector<std::vector<std::uint8_t>> rows; // level codes
};

using Packet = std::variant<RadialSweep, RasterGrid>;

// What a level code stands for.
struct Level {
    enum class Kind { Value, BelowThreshold, Missing };
    Kind kind = Kind::Missing;
    double value = 0; // in the product's unit, when kind is Value
};

struct Product {
    WmoHeading heading;
    MessageHeader header;
    DescriptionBlock description;
    std::vector<Packet> packets;
    // A scan with nothing to draw: the radar says so with its null-product
    // flag (no rain since the accumulation began), or its symbology holds no
    // data. It is still a scan of its time, drawn as the bare map.
    bool null = false;
    // The symbology's plain text ("No precipitation detected since ..."),
    // as the radar wrote it.
    std::vector<QString> texts;
    std::array<Level, 256> levels{}; // by level code
    double binKm = 0;                // a radial bin's length
    // The storm products' cells; none for a picture's product.
    std::optional<StormReport> storms;
};

struct DecodeError {
    QString what;
    std::size_t offset = 0; // in the file
};

} // namespace nubivista::feed::level3
