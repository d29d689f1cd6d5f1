#include "tracking/warnings.h"

#include "radar/polygon.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <numbers>

namespace nubivista::tracking {

namespace {

// Far more than any radar's picture holds at once.
constexpr qsizetype kMaxWarnings = 500;
constexpr qsizetype kMaxVertices = 2000;

std::optional<double> number(const QJsonValue& value) {
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

QDateTime utcTime(const QJsonValue& value) {
    return QDateTime::fromString(value.toString(), Qt::ISODate).toUTC();
}

std::optional<Warning> warning(const QJsonValue& value) {
    Warning found;
    found.id = value[QStringLiteral("id")].toString();
    found.event = value[QStringLiteral("event")].toString();
    found.headline = value[QStringLiteral("headline")].toString();
    found.issued = utcTime(value[QStringLiteral("issued")]);
    found.expires = utcTime(value[QStringLiteral("expires")]);
    const QJsonArray polygon = value[QStringLiteral("polygon")].toArray();
    if (found.id.isEmpty() || found.event.isEmpty() || !found.issued.isValid() ||
        !found.expires.isValid() || polygon.size() < 3 || polygon.size() > kMaxVertices)
        return std::nullopt;
    for (const QJsonValue& vertex : polygon) {
        const QJsonArray pair = vertex.toArray();
        const std::optional<double> latitude = number(pair.at(0));
        const std::optional<double> longitude = number(pair.at(1));
        if (!latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180)
            return std::nullopt;
        found.polygon.push_back({*latitude, *longitude});
    }
    const QJsonValue motion = value[QStringLiteral("motion")];
    found.motionFromDeg = number(motion[QStringLiteral("fromDeg")]);
    found.motionSpeedKt = number(motion[QStringLiteral("speedKt")]);
    found.hailIn = number(value[QStringLiteral("hailIn")]);
    found.windMph = number(value[QStringLiteral("windMph")]);
    found.tornado = value[QStringLiteral("tornado")].toString().trimmed().toUpper();
    found.damageThreat = value[QStringLiteral("damageThreat")].toString().trimmed().toUpper();
    return found;
}

} // namespace

std::variant<WarningsSnapshot, QString> readWarnings(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject())
        return QStringLiteral("the warnings are not readable: %1").arg(error.errorString());
    const QJsonObject root = document.object();
    const QJsonArray warnings = root[QStringLiteral("warnings")].toArray();
    if (!root[QStringLiteral("warnings")].isArray() || warnings.size() > kMaxWarnings)
        return QStringLiteral("the warnings have no list, or too long a one");
    WarningsSnapshot snapshot;
    snapshot.site = root[QStringLiteral("site")].toString();
    snapshot.fetched = utcTime(root[QStringLiteral("fetched")]);
    for (const QJsonValue& value : warnings)
        if (std::optional<Warning> found = warning(value))
            snapshot.warnings.push_back(std::move(*found));
    return snapshot;
}

bool warningCovers(const Warning& warning, const GeoPosition& place) {
    // Miles on a plane about the place: a warning is a few dozen miles
    // across, where the Earth's curve does not matter.
    const double cosine = std::cos(place.latitude * std::numbers::pi / 180);
    const auto plane = [&](const GeoPosition& at) {
        return QPointF((at.longitude - place.longitude) * cosine, at.latitude - place.latitude);
    };
    radar::Ring ring;
    ring.reserve(warning.polygon.size());
    for (const GeoPosition& vertex : warning.polygon)
        ring.push_back(plane(vertex));
    return radar::ringContains(ring, QPointF(0, 0));
}

} // namespace nubivista::tracking
