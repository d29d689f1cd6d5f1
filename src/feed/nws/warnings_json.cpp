#include "feed/nws/warnings_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nubivista::feed::nws {

namespace {

QJsonValue isoTime(const QDateTime& time) {
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

template <typename T> QJsonValue orNull(const std::optional<T>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonObject warningObject(const Warning& warning) {
    QJsonObject object;
    object[QStringLiteral("id")] = warning.id;
    object[QStringLiteral("event")] = warning.event;
    object[QStringLiteral("headline")] = warning.headline;
    object[QStringLiteral("issued")] = isoTime(warning.sent);
    object[QStringLiteral("expires")] = isoTime(warning.expires);
    QJsonArray polygon;
    for (const picture::GeoPoint& point : warning.polygon)
        polygon.append(QJsonArray{point.latitude, point.longitude});
    object[QStringLiteral("polygon")] = polygon;
    QJsonValue motion;
    if (warning.motion)
        motion = QJsonObject{{QStringLiteral("fromDeg"), warning.motion->fromDeg},
                             {QStringLiteral("speedKt"), warning.motion->speedKt}};
    object[QStringLiteral("motion")] = motion;
    object[QStringLiteral("hailIn")] = orNull(warning.hailIn);
    object[QStringLiteral("windMph")] = orNull(warning.windMph);
    object[QStringLiteral("tornado")] = orNull(warning.tornado);
    object[QStringLiteral("damageThreat")] = orNull(warning.damageThreat);
    return object;
}

} // namespace

QByteArray warningsJson(const radar::SiteRow& site, const QDateTime& fetched,
                        std::span<const Warning> warnings, const QString& source) {
    QJsonArray list;
    for (const Warning& warning : warnings)
        list.append(warningObject(warning));
    QJsonObject root;
    root[QStringLiteral("site")] = QString(site.code);
    root[QStringLiteral("fetched")] = isoTime(fetched);
    root[QStringLiteral("source")] = source;
    root[QStringLiteral("warnings")] = list;
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace nubivista::feed::nws
