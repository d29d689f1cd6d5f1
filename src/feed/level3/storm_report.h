#pragma once
// What the storm products say of the storm cells the radar tracks: storm
// tracking information (NST, code 58), hail (NHI, 59), mesocyclones (NMD,
// 141) and tornado vortex signatures (NTV, 61). Their symbology gives the
// figures' places, in km east and north of the radar; their tables give the
// numbers as the radar printed them. Nothing the radar left out is made up:
// a new cell has no motion, a forecast slot with no data is empty.
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace nubivista::feed::level3 {

struct StormPoint {
    double eastKm = 0;
    double northKm = 0;
};

// The symbology's figures.
struct StormSymbols {
    // A cell's id where it stands now, with the track drawn after it.
    struct Cell {
        QString id; // "X0"
        StormPoint at;
        std::vector<StormPoint> past;     // newest first
        std::vector<StormPoint> forecast; // 15 minutes apart
    };
    struct HailMark {
        StormPoint at;
        std::optional<int> probability; // %, none when the radar could not tell
        std::optional<int> severeProbability;
        int maxSizeIn = 0; // rounded to a whole inch
    };
    struct Feature {
        StormPoint at;
        int type = 0;
        int attribute = 0;
    };
    struct Circle {
        StormPoint at;
        double radiusKm = 0;
    };
    std::vector<Cell> cells;
    std::vector<HailMark> hail;
    std::vector<Feature> features; // mesocyclones and other point features
    std::vector<Circle> circles;
    std::vector<StormPoint> vortices;         // tornado vortex signatures
    std::vector<StormPoint> elevatedVortices; // elevated ones
};

// A position as the tables print it: degrees from north and nautical miles.
struct AzimuthRange {
    double azimuthDeg = 0;
    double rangeNm = 0;
};

// The tables' rows.
struct StormTables {
    struct Track {
        QString id;
        AzimuthRange at;
        // Where the cell comes from, and how fast; none for a new cell.
        std::optional<double> movementFromDeg;
        std::optional<double> speedKt;
        std::array<std::optional<AzimuthRange>, 4> forecast; // 15, 30, 45, 60 minutes
        double errorNm = 0;
        double meanErrorNm = 0;
    };
    struct Hail {
        QString id;
        int severeProbability = 0; // %
        int probability = 0;       // %
        double maxSizeIn = 0;
        bool belowSize = false; // "<0.50": smaller than maxSizeIn
    };
    struct Mesocyclone {
        QString stormId;
        int strengthRank = 0;
        bool tvs = false;
    };
    struct Vortex {
        QString stormId;
        bool elevated = false;
    };
    std::vector<Track> tracks;
    std::vector<Hail> hail; // cells the radar could not judge are left out
    std::vector<Mesocyclone> mesocyclones;
    std::vector<Vortex> vortices;
};

struct StormReport {
    StormSymbols symbols;
    StormTables tables;
};

} // namespace nubivista::feed::level3
