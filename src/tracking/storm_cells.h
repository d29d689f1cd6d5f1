#pragma once
// The storm cells of one radar scan, as the feed serves them
// (/storms/<site>.json), read tolerantly: a cell the program cannot read is
// left out, never guessed at.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace nubivista::tracking {

struct GeoPosition {
    double latitude = 0;
    double longitude = 0;
};

struct StormHail {
    int probability = 0;       // %
    int severeProbability = 0; // %
    double maxSizeIn = 0;
};

struct StormCell {
    QString id; // "X0"
    GeoPosition at;
    std::optional<double> movementFromDeg; // none for a new cell
    std::optional<double> speedKt;
    std::array<std::optional<GeoPosition>, 4> forecast; // 15, 30, 45, 60 minutes
    std::vector<GeoPosition> past;                      // newest first
    std::optional<double> maxDbz;
    std::optional<double> maxDbzHeightKft;
    std::optional<StormHail> hail;
    bool mesocyclone = false;
    bool tvs = false;
};

struct StormScanCells {
    QString site;
    QDateTime scanTime; // UTC
    std::vector<StormCell> cells;
};

// What the radar says of a cell beyond its place, each part in words:
// "from 236° at 41 kt (47 mph)", "63 dBZ at 24.4 kft", "hail 100 % (severe
// 50 %) up to 1.25 in", "mesocyclone", "tornado vortex signature".
QStringList cellTraits(const StormCell& cell);
// The hover text of a cell: "X0: " and its traits.
QString cellDetails(const StormCell& cell);

// The cells, or why the text is none.
std::variant<StormScanCells, QString> readStormCells(const QByteArray& json);

} // namespace nubivista::tracking
