#include "acquisition/picture_source_notice.h"

#include "core/message_service.h"

#include <QWidget>

namespace nubivista::acquisition {

namespace {

QString sourceName(const QString& source) {
    if (source == QLatin1String("sim"))
        return QStringLiteral("The Demo's Simulated Storms");
    if (source == QLatin1String("live"))
        return QStringLiteral("Today's Radar");
    return QStringLiteral("The Source \"%1\"").arg(source);
}

} // namespace

QString PictureSourceNotice::noticeText(const QString& source) {
    return QStringLiteral("\r\n\r\nA Picture Of ") + sourceName(source) +
           QStringLiteral(" Was Refused:\r\n"
                          "It Is Not From The Feed This Window Shows,\r\n"
                          "So It Was Not Stored. Your Images Stay As They Were.");
}

platform::DownloadResult PictureSourceNotice::downloadToFile(const QUrl& address,
                                                             const QString& path) {
    platform::DownloadResult result = internet_.downloadToFile(address, path);
    if (!result.refusedSource.isEmpty() && !told_) {
        // Set first: the message waits in an event loop in which the
        // process's timers keep polling.
        told_ = true;
        messages_.ShowMsgWind(1, noticeText(result.refusedSource), 0);
    }
    return result;
}

} // namespace nubivista::acquisition
