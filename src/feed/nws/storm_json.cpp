#include "feed/nws/storm_json.h"

#include "feed/picture/projection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <numbers>

namespace nubivista::feed::nws {

namespace {

constexpr double kKmPerNm = 1.852;

using level3::AzimuthRange;
using level3::StormPoint;

const level3::StormReport* report(const level3::Product* product) {
    return product && product->storms ? &*product->storms : nullptr;
}

QJsonValue orNull(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// Latitude and longitude of a place given in km from the radar.
void putPosition(QJsonObject& object, const picture::GeoPoint& radar, const StormPoint& at) {
    const picture::GeoPoint where = picture::unprojectFrom(radar, at.eastKm / picture::kKmPerMile,
                                                           at.northKm / picture::kKmPerMile);
    object[QStringLiteral("lat")] = std::round(where.latitude * 1e4) / 1e4;
    object[QStringLiteral("lon")] = std::round(where.longitude * 1e4) / 1e4;
}

StormPoint fromAzimuthRange(const AzimuthRange& p) {
    const double radians = p.azimuthDeg * std::numbers::pi / 180;
    return {p.rangeNm * kKmPerNm * std::sin(radians), p.rangeNm * kKmPerNm * std::cos(radians)};
}

QJsonObject cellJson(const level3::StormTables::Track& track,
                     const level3::StormSymbols::Cell* symbol, const picture::GeoPoint& radar,
                     const StormScan& scan) {
    QJsonObject cell;
    cell[QStringLiteral("id")] = track.id;
    cell[QStringLiteral("azimuthDeg")] = track.at.azimuthDeg;
    cell[QStringLiteral("rangeNm")] = track.at.rangeNm;
    // The symbols' places are finer than the table's whole degrees and miles.
    putPosition(cell, radar, symbol ? symbol->at : fromAzimuthRange(track.at));
    cell[QStringLiteral("movementFromDeg")] = orNull(track.movementFromDeg);
    cell[QStringLiteral("speedKt")] = orNull(track.speedKt);
    QJsonArray forecast;
    std::size_t marker = 0;
    for (std::size_t slot = 0; slot < track.forecast.size(); ++slot) {
        if (!track.forecast[slot]) {
            forecast.append(QJsonValue::Null);
            continue;
        }
        QJsonObject point;
        point[QStringLiteral("minutes")] = int(15 * (slot + 1));
        point[QStringLiteral("azimuthDeg")] = track.forecast[slot]->azimuthDeg;
        point[QStringLiteral("rangeNm")] = track.forecast[slot]->rangeNm;
        // The track's markers stand for the slots with data, in order.
        const bool marked = symbol && marker < symbol->forecast.size();
        putPosition(point, radar,
                    marked ? symbol->forecast[marker] : fromAzimuthRange(*track.forecast[slot]));
        ++marker;
        forecast.append(point);
    }
    cell[QStringLiteral("forecast")] = forecast;
    QJsonArray past;
    if (symbol) {
        for (const StormPoint& at : symbol->past) {
            QJsonObject point;
            putPosition(point, radar, at);
            past.append(point);
        }
    }
    cell[QStringLiteral("past")] = past;
    cell[QStringLiteral("errorNm")] = track.errorNm;
    cell[QStringLiteral("meanErrorNm")] = track.meanErrorNm;
    // None of the four products tells a cell's strongest echo.
    cell[QStringLiteral("maxDbz")] = QJsonValue::Null;
    cell[QStringLiteral("maxDbzHeightKft")] = QJsonValue::Null;

    QJsonValue hail = QJsonValue::Null;
    if (const level3::StormReport* nhi = report(scan.hail)) {
        for (const auto& row : nhi->tables.hail) {
            if (row.id != track.id)
                continue;
            QJsonObject values;
            values[QStringLiteral("probability")] = row.probability;
            values[QStringLiteral("severeProbability")] = row.severeProbability;
            values[QStringLiteral("maxSizeIn")] = row.maxSizeIn;
            if (row.belowSize)
                values[QStringLiteral("maxSizeBelow")] = true;
            hail = values;
        }
    }
    cell[QStringLiteral("hail")] = hail;
    bool mesocyclone = false;
    bool tvs = false;
    if (const level3::StormReport* nmd = report(scan.mesocyclones)) {
        for (const auto& row : nmd->tables.mesocyclones) {
            mesocyclone |= row.stormId == track.id && row.strengthRank >= kMesocycloneRank;
            tvs |= row.stormId == track.id && row.tvs;
        }
    }
    if (const level3::StormReport* ntv = report(scan.vortices))
        for (const auto& row : ntv->tables.vortices)
            tvs |= row.stormId == track.id;
    cell[QStringLiteral("mesocyclone")] = mesocyclone;
    cell[QStringLiteral("tvs")] = tvs;
    return cell;
}

} // namespace

QByteArray stormsJson(const radar::SiteRow& site, const StormScan& scan) {
    QJsonObject root;
    root[QStringLiteral("site")] = QString(site.code);
    QJsonArray cells;
    if (const level3::StormReport* nst = report(scan.tracking)) {
        root[QStringLiteral("scanTime")] =
            scan.tracking->description.volumeScanTime.toUTC().toString(Qt::ISODate);
        const picture::GeoPoint radar{scan.tracking->description.latitude,
                                      scan.tracking->description.longitude};
        for (const auto& track : nst->tables.tracks) {
            const level3::StormSymbols::Cell* symbol = nullptr;
            for (const auto& candidate : nst->symbols.cells)
                if (candidate.id == track.id)
                    symbol = &candidate;
            cells.append(cellJson(track, symbol, radar, scan));
        }
    }
    root[QStringLiteral("cells")] = cells;
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace nubivista::feed::nws
