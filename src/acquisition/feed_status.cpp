#include "acquisition/feed_status.h"

#include "radar/addresses.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace nubivista::acquisition {

std::optional<std::int64_t> imageAgeSeconds(core::OleDate newestUtc, const QDateTime& now) {
    const QDateTime newest = core::oleToDateTime(newestUtc, Qt::UTC);
    if (!newest.isValid() || !now.isValid())
        return std::nullopt;
    return newest.secsTo(now);
}

bool imageIsStale(std::int64_t ageSeconds, int refreshIntervalMinutes) {
    return ageSeconds > 2 * 60 * static_cast<std::int64_t>(std::max(1, refreshIntervalMinutes));
}

QString feedSummary(const QByteArray& statusJson, const QString& siteCode,
                    const QString& productCode) {
    if (siteCode.isEmpty() || productCode.isEmpty())
        return {};
    const QJsonArray products =
        QJsonDocument::fromJson(statusJson).object().value(QLatin1String("products")).toArray();
    for (const QJsonValue& value : products) {
        const QJsonObject entry = value.toObject();
        const QString site = entry.value(QLatin1String("site")).toString();
        if (site.compare(siteCode, Qt::CaseInsensitive) == 0 &&
            entry.value(QLatin1String("product")).toString() == productCode)
            return entry.value(QLatin1String("summary")).toString().simplified();
    }
    return {};
}

std::optional<QString> weatherServiceUnreachable(const QByteArray& statusJson) {
    const QJsonObject status = QJsonDocument::fromJson(statusJson).object();
    if (status.value(QLatin1String("weatherServiceReachable")).toBool(true))
        return std::nullopt;
    for (const QJsonValue& value : status.value(QLatin1String("products")).toArray()) {
        const QJsonObject entry = value.toObject();
        if (entry.value(QLatin1String("unreachable")).toBool())
            return entry.value(QLatin1String("reason")).toString().simplified();
    }
    return QStringLiteral("The weather service could not be reached");
}

QString staleImageText(std::int64_t ageSeconds, int refreshIntervalMinutes,
                       const QString& summary) {
    if (!imageIsStale(ageSeconds, refreshIntervalMinutes))
        return {};
    QString text = QStringLiteral("Newest image %1 min old").arg(ageSeconds / 60);
    if (!summary.isEmpty())
        text += QStringLiteral(": ") + summary;
    return text;
}

QUrl feedPageAddress(const QString& radarAddress, const QString& path) {
    const auto onHostOf = [&path](const QString& address) {
        QUrl url(address);
        url.setUserInfo({});
        url.setPath(path);
        url.setQuery(QString());
        url.setFragment(QString());
        return url;
    };
    const QUrl url = onHostOf(radarAddress);
    if (url.isValid() && !url.host().isEmpty() && radar::IsFeedAddress(url))
        return url;
    return onHostOf(QString(radar::DefaultNationalMapUrl));
}

} // namespace nubivista::acquisition
