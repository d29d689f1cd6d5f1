#include "feed/server/http_date.h"

#include <QDateTime>
#include <QLocale>

namespace nubivista::feed::server {

namespace {
const QString kFormat = QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'");
}

QByteArray httpDate(qint64 utcSeconds) {
    return QLocale::c()
        .toString(QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC), kFormat)
        .toLatin1();
}

std::optional<qint64> parseHttpDate(const QByteArray& text) {
    QDateTime time = QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()), kFormat);
    if (!time.isValid()) {
        return std::nullopt;
    }
    time.setTimeSpec(Qt::UTC);
    return time.toSecsSinceEpoch();
}

} // namespace nubivista::feed::server
