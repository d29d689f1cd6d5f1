#include "feed/nws/alerts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>

namespace nubivista::feed::nws {

namespace {

constexpr double kMphPerKnot = 1.150779;

QDateTime utcTime(const QJsonValue& value) {
    const QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODate);
    return time.isValid() ? time.toUTC() : QDateTime();
}

// A parameter's first value: the API gives each as an array of strings.
std::optional<QString> parameter(const QJsonObject& parameters, const char* name) {
    const QJsonValue value = parameters.value(QLatin1String(name));
    const QJsonValue first = value.isArray() ? value.toArray().at(0) : value;
    if (!first.isString() || first.toString().trimmed().isEmpty())
        return std::nullopt;
    return first.toString().trimmed();
}

// "1.00", ".75", "Up to 1.75" inches.
std::optional<double> hailInches(const std::optional<QString>& text) {
    static const QRegularExpression number(QStringLiteral("(\\d*\\.?\\d+)"));
    const QRegularExpressionMatch match = text ? number.match(*text) : QRegularExpressionMatch();
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

// "60 MPH"; a marine warning's "34 KTS" in miles an hour; no unit, nothing.
std::optional<int> windMph(const std::optional<QString>& text) {
    static const QRegularExpression speed(QStringLiteral("(\\d+)\\s*(MPH|KTS?)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = text ? speed.match(*text) : QRegularExpressionMatch();
    if (!match.hasMatch())
        return std::nullopt;
    const int value = match.captured(1).toInt();
    if (match.captured(2).startsWith(QLatin1Char('K'), Qt::CaseInsensitive))
        return int(std::lround(value * kMphPerKnot));
    return value;
}

Warning::Message messageOf(const QString& type) {
    if (type == QLatin1String("Alert"))
        return Warning::Message::Alert;
    if (type == QLatin1String("Update"))
        return Warning::Message::Update;
    if (type == QLatin1String("Cancel"))
        return Warning::Message::Cancel;
    return Warning::Message::Other;
}

// A Polygon's outer ring, or a MultiPolygon's first, as latitude and longitude;
// GeoJSON repeats the first point at the end, which is dropped.
std::vector<picture::GeoPoint> outerRing(const QJsonObject& geometry) {
    const QString type = geometry.value(QStringLiteral("type")).toString();
    QJsonArray rings = geometry.value(QStringLiteral("coordinates")).toArray();
    if (type == QLatin1String("MultiPolygon"))
        rings = rings.at(0).toArray();
    else if (type != QLatin1String("Polygon"))
        return {};
    std::vector<picture::GeoPoint> ring;
    for (const QJsonValue& position : rings.at(0).toArray()) {
        const QJsonArray pair = position.toArray();
        if (pair.size() < 2 || !pair[0].isDouble() || !pair[1].isDouble())
            return {}; // a damaged ring is no ring
        const picture::GeoPoint point{pair[1].toDouble(), pair[0].toDouble()};
        if (std::abs(point.latitude) > 90 || std::abs(point.longitude) > 180)
            return {};
        ring.push_back(point);
    }
    if (ring.size() > 1 && ring.front().latitude == ring.back().latitude &&
        ring.front().longitude == ring.back().longitude)
        ring.pop_back();
    return ring.size() >= 3 ? ring : std::vector<picture::GeoPoint>{};
}

Warning warningOf(const QJsonObject& feature) {
    const QJsonObject properties = feature.value(QStringLiteral("properties")).toObject();
    const QJsonObject parameters = properties.value(QStringLiteral("parameters")).toObject();
    Warning warning;
    warning.event = properties.value(QStringLiteral("event")).toString();
    warning.headline = properties.value(QStringLiteral("headline")).toString();
    warning.message = messageOf(properties.value(QStringLiteral("messageType")).toString());
    warning.sent = utcTime(properties.value(QStringLiteral("sent")));
    if (const std::optional<QString> vtec = parameter(parameters, "VTEC"))
        warning.vtec = parseVtec(*vtec);
    warning.id =
        warning.vtec ? warning.vtec->eventId() : properties.value(QStringLiteral("id")).toString();
    // A warning lasts until its event ends; a message may expire before that.
    warning.expires = utcTime(properties.value(QStringLiteral("ends")));
    if (!warning.expires.isValid())
        warning.expires = utcTime(properties.value(QStringLiteral("expires")));
    if (!warning.expires.isValid() && warning.vtec)
        warning.expires = warning.vtec->ends;
    warning.polygon = outerRing(feature.value(QStringLiteral("geometry")).toObject());
    if (const std::optional<QString> motion = parameter(parameters, "eventMotionDescription"))
        warning.motion = parseEventMotion(*motion);
    warning.hailIn = hailInches(parameter(parameters, "maxHailSize"));
    warning.windMph = windMph(parameter(parameters, "maxWindGust"));
    warning.tornado = parameter(parameters, "tornadoDetection");
    for (const char* threat :
         {"tornadoDamageThreat", "thunderstormDamageThreat", "flashFloodDamageThreat"})
        if (!warning.damageThreat)
            warning.damageThreat = parameter(parameters, threat);
    return warning;
}

bool ends(const Warning& warning) {
    if (warning.message == Warning::Message::Cancel)
        return true;
    // Expired, cancelled, or upgraded to another kind (which has its own event).
    static const QStringList kEnding = {QStringLiteral("CAN"), QStringLiteral("EXP"),
                                        QStringLiteral("UPG")};
    return warning.vtec && kEnding.contains(warning.vtec->action);
}

} // namespace

QString Vtec::eventId() const {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(office, phenomenon, significance)
        .arg(eventNumber, 4, 10, QLatin1Char('0'));
}

std::optional<Vtec> parseVtec(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("/[OTEX]\\.([A-Z]{3})\\.([A-Z0-9]{4})\\.([A-Z]{2})\\.([A-Z])\\.(\\d{4})\\."
                       "(\\d{6}T\\d{4}Z)-(\\d{6}T\\d{4}Z)/"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    Vtec vtec{match.captured(1), match.captured(2),         match.captured(3),
              match.captured(4), match.captured(5).toInt(), {}};
    // "211211T0245Z": the end, two-digit year of this century; zeros while open.
    const QString end = match.captured(7);
    const QDate day(2000 + end.left(2).toInt(), end.mid(2, 2).toInt(), end.mid(4, 2).toInt());
    const QTime time(end.mid(7, 2).toInt(), end.mid(9, 2).toInt());
    if (day.isValid() && time.isValid())
        vtec.ends = QDateTime(day, time, Qt::UTC);
    return vtec;
}

std::optional<StormMotion> parseEventMotion(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("\\.\\.\\.(\\d{1,3})DEG\\.\\.\\.(\\d{1,3})KT"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int from = match.captured(1).toInt();
    if (from > 360)
        return std::nullopt;
    return StormMotion{from % 360, match.captured(2).toInt()};
}

std::variant<std::vector<Warning>, QString> parseAlerts(const QByteArray& geoJson) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(geoJson, &error);
    if (document.isNull())
        return QStringLiteral("is not JSON: %1 at byte %2")
            .arg(error.errorString())
            .arg(error.offset);
    const QJsonValue features = document.object().value(QStringLiteral("features"));
    if (!features.isArray())
        return QStringLiteral("is not a collection of alerts");
    std::vector<Warning> alerts;
    for (const QJsonValue& feature : features.toArray()) {
        const QJsonObject properties =
            feature.toObject().value(QStringLiteral("properties")).toObject();
        const QJsonValue status = properties.value(QStringLiteral("status"));
        // Exercises and tests are no weather.
        if (!status.isUndefined() && status.toString() != QLatin1String("Actual"))
            continue;
        alerts.push_back(warningOf(feature.toObject()));
    }
    return alerts;
}

bool isStormBasedWarning(const QString& event) {
    static const QStringList kinds = {
        QStringLiteral("Tornado Warning"),      QStringLiteral("Severe Thunderstorm Warning"),
        QStringLiteral("Flash Flood Warning"),  QStringLiteral("Special Marine Warning"),
        QStringLiteral("Extreme Wind Warning"), QStringLiteral("Snow Squall Warning"),
        QStringLiteral("Dust Storm Warning")};
    return kinds.contains(event);
}

std::vector<Warning> warningsInForce(std::vector<Warning> alerts, const QDateTime& now) {
    // The newest message of each event; of two sent at once, the later listed.
    std::map<QString, std::size_t> newest;
    for (std::size_t i = 0; i < alerts.size(); ++i) {
        const Warning& alert = alerts[i];
        if (!isStormBasedWarning(alert.event) || alert.id.isEmpty() ||
            alert.message == Warning::Message::Other)
            continue;
        const auto [slot, added] = newest.try_emplace(alert.id, i);
        if (!added && alerts[slot->second].sent > alert.sent)
            continue;
        slot->second = i;
    }
    std::vector<Warning> inForce;
    for (const auto& [id, index] : newest) {
        Warning& warning = alerts[index];
        if (ends(warning) || warning.polygon.empty() || !warning.expires.isValid() ||
            warning.expires <= now)
            continue;
        inForce.push_back(std::move(warning));
    }
    std::stable_sort(inForce.begin(), inForce.end(),
                     [](const Warning& a, const Warning& b) { return a.sent < b.sent; });
    return inForce;
}

} // namespace nubivista::feed::nws
