#include "feed/nws/upstream_paths.h"

#include <QRegularExpression>

namespace nubivista::feed::nws {

QString productTreeFolder(const QString& directory, const QString& siteCode) {
    return QStringLiteral("SL.us008001/DF.of/DC.radar/%1/SI.%2/")
        .arg(directory, siteCode.toLower());
}

QString productTreeFile(const QString& directory, const QString& siteCode, const QString& name) {
    return productTreeFolder(directory, siteCode) + name;
}

QString archiveSiteId(const QString& siteCode) {
    return siteCode.mid(1).toUpper();
}

QString archiveListing(const QString& siteCode, const QString& awips, const QDate& day) {
    return QStringLiteral("?list-type=2&prefix=%1_%2_%3")
        .arg(archiveSiteId(siteCode), awips, day.toString(QStringLiteral("yyyy_MM_dd")));
}

std::optional<QDateTime> archiveKeyTime(const QString& key) {
    static const QRegularExpression pattern(QStringLiteral(
        "^[A-Z0-9]{3}_[A-Z0-9]{3}_(\\d{4})_(\\d{2})_(\\d{2})_(\\d{2})_(\\d{2})_(\\d{2})$"));
    const QRegularExpressionMatch m = pattern.match(key);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

} // namespace nubivista::feed::nws
