#pragma once
// One download of an address into a file, run on the Internet layer's thread.
// The body goes into a temporary file beside the target, which replaces the
// target only when the whole body has arrived: a failed, refused, oversized,
// timed-out or short download leaves the target as it was.
#include "acquisition/platform/internet_service.h"

#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace nubivista::platform {

// The header in which the feed names the source of a picture ("live", "sim").
inline constexpr char kPictureSourceHeader[] = "X-Nubivista-Source";

struct DownloadLimits {
    int timeoutMs = 30'000;
    qint64 maxBytes = 20 * 1024 * 1024;
};

class DownloadJob : public QObject {
    Q_OBJECT
public:
    // Offline, only a cached copy is used; online a cached copy is preferred,
    // so the file holds the very bytes whose cache entry the caller has read.
    DownloadJob(QNetworkAccessManager& network, const QUrl& address, const QString& path,
                const DownloadLimits& limits, bool offline, QObject* parent = nullptr);
    ~DownloadJob() override;

    // The source every picture must name (the feed's, "live" or "sim"); a
    // picture naming another is refused before any of it is written, one that
    // names none is taken. Empty: any source. Call before start().
    void expectSource(const QByteArray& source) { expectedSource_ = source; }
    void start();
    void abort(const QString& reason);

signals:
    void finished(const nubivista::platform::DownloadResult& result);

private:
    bool refusedForSource();
    void onReadyRead();
    void onReplyFinished();
    void finish(bool ok, const QString& error, const QString& refusedSource = {});
    void dropReply();

    QNetworkAccessManager& network_;
    QUrl address_;
    DownloadLimits limits_;
    bool offline_ = false;
    QByteArray expectedSource_;
    QSaveFile file_;
    QTimer deadline_;
    QPointer<QNetworkReply> reply_;
    qint64 received_ = 0;
    bool done_ = false;
};

} // namespace nubivista::platform
