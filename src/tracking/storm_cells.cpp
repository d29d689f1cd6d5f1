#include "tracking/storm_cells.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace nubivista::tracking {

namespace {

// A few hundred cells at the most; more is no radar's.
constexpr qsizetype kMaxCells = 1000;
constexpr qsizetype kMaxPast = 100;

std::optional<double> number(const QJsonValue& value) {
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

std::optional<GeoPosition> position(const QJsonValue& value) {
    const std::optional<double> latitude = number(value[QStringLiteral("lat")]);
    const std::optional<double> longitude = number(value[QStringLiteral("lon")]);
    if (!latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180)
        return std::nullopt;
    return GeoPosition{*latitude, *longitude};
}

std::optional<StormCell> cell(const QJsonValue& value) {
    StormCell found;
    found.id = value[QStringLiteral("id")].toString();
    const std::optional<GeoPosition> at = position(value);
    if (found.id.isEmpty() || found.id.size() > 8 || !at)
        return std::nullopt;
    found.at = *at;
    found.movementFromDeg = number(value[QStringLiteral("movementFromDeg")]);
    found.speedKt = number(value[QStringLiteral("speedKt")]);
    const QJsonArray forecast = value[QStringLiteral("forecast")].toArray();
    for (qsizetype slot = 0; slot < std::min<qsizetype>(4, forecast.size()); ++slot)
        found.forecast[std::size_t(slot)] = position(forecast[slot]);
    const QJsonArray past = value[QStringLiteral("past")].toArray();
    for (qsizetype i = 0; i < std::min(kMaxPast, past.size()); ++i)
        if (const std::optional<GeoPosition> at = position(past[i]))
            found.past.push_back(*at);
    found.maxDbz = number(value[QStringLiteral("maxDbz")]);
    found.maxDbzHeightKft = number(value[QStringLiteral("maxDbzHeightKft")]);
    const QJsonValue hail = value[QStringLiteral("hail")];
    if (hail.isObject())
        found.hail = StormHail{hail[QStringLiteral("probability")].toInt(),
                               hail[QStringLiteral("severeProbability")].toInt(),
                               hail[QStringLiteral("maxSizeIn")].toDouble()};
    found.mesocyclone = value[QStringLiteral("mesocyclone")].toBool();
    found.tvs = value[QStringLiteral("tvs")].toBool();
    return found;
}

} // namespace

std::variant<StormScanCells, QString> readStormCells(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject())
        return QStringLiteral("the storm cells are not readable: %1").arg(error.errorString());
    const QJsonObject root = document.object();
    StormScanCells scan;
    scan.site = root[QStringLiteral("site")].toString();
    scan.scanTime = QDateTime::fromString(root[QStringLiteral("scanTime")].toString(), Qt::ISODate);
    const QJsonArray cells = root[QStringLiteral("cells")].toArray();
    if (!scan.scanTime.isValid() || cells.size() > kMaxCells)
        return QStringLiteral("the storm cells have no scan time or too many cells");
    for (const QJsonValue& value : cells)
        if (std::optional<StormCell> found = cell(value))
            scan.cells.push_back(std::move(*found));
    return scan;
}

QStringList cellTraits(const StormCell& cell) {
    constexpr double kMphPerKnot = 1.150779;
    QStringList traits;
    if (cell.movementFromDeg && cell.speedKt)
        traits << QStringLiteral("from %1\u00B0 at %2 kt (%3 mph)")
                      .arg(std::lround(*cell.movementFromDeg) % 360)
                      .arg(std::lround(*cell.speedKt))
                      .arg(std::lround(*cell.speedKt * kMphPerKnot));
    if (cell.maxDbz) {
        QString echo = QStringLiteral("%1 dBZ").arg(std::lround(*cell.maxDbz));
        if (cell.maxDbzHeightKft)
            echo += QStringLiteral(" at %1 kft").arg(*cell.maxDbzHeightKft, 0, 'f', 1);
        traits << echo;
    }
    if (cell.hail && cell.hail->probability > 0)
        traits << QStringLiteral("hail %1 % (severe %2 %) up to %3 in")
                      .arg(cell.hail->probability)
                      .arg(cell.hail->severeProbability)
                      .arg(cell.hail->maxSizeIn, 0, 'f', 2);
    if (cell.mesocyclone)
        traits << QStringLiteral("mesocyclone");
    if (cell.tvs)
        traits << QStringLiteral("tornado vortex signature");
    return traits;
}

QString cellDetails(const StormCell& cell) {
    const QStringList traits = cellTraits(cell);
    return traits.isEmpty() ? cell.id : cell.id + QStringLiteral(": ") + traits.join(u", ");
}

} // namespace nubivista::tracking
