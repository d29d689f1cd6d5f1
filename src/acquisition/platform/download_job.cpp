#include "acquisition/platform/download_job.h"

#include "acquisition/platform/proxy_rules.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace nubivista::platform {

DownloadJob::DownloadJob(QNetworkAccessManager& network, const QUrl& address, const QString& path,
                         const DownloadLimits& limits, bool offline, QObject* parent)
    : QObject(parent),
      network_(network),
      address_(address),
      limits_(limits),
      offline_(offline),
      file_(path) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { abort(tr("Timed out")); });
}

DownloadJob::~DownloadJob() {
    dropReply();
}

void DownloadJob::dropReply() {
    if (!reply_)
        return;
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

void DownloadJob::start() {
    if (!address_.isValid() || address_.scheme().isEmpty()) {
        finish(false, tr("Not a valid address"));
        return;
    }
    // Unbuffered: a write that fails (a full disk) is seen here, not lost in a
    // final flush that the commit would not report.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        finish(false, file_.errorString());
        return;
    }
    QNetworkRequest request(address_);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         offline_ ? QNetworkRequest::AlwaysCache : QNetworkRequest::PreferCache);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    askForPlainBody(request);
    reply_ = network_.get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &DownloadJob::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &DownloadJob::onReplyFinished);
    deadline_.start(limits_.timeoutMs);
}

void DownloadJob::abort(const QString& reason) {
    finish(false, reason);
}

bool DownloadJob::refusedForSource() {
    if (expectedSource_.isEmpty())
        return false;
    // Cached answers keep the server's headers, so a copy from the cache
    // names its source as the first answer did.
    const QByteArray named = reply_->rawHeader(kPictureSourceHeader).trimmed().toLower();
    if (named.isEmpty() || named == expectedSource_)
        return false;
    const QString source = QString::fromLatin1(named);
    finish(false, tr("Refused: a picture of the source \"%1\", not of this feed").arg(source),
           source);
    return true;
}

void DownloadJob::onReadyRead() {
    if (done_ || !reply_)
        return;
    if (refusedForSource())
        return;
    // A body announced as too large is refused before any of it is read.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits_.maxBytes) {
        finish(false, tr("File too large (%1 bytes)").arg(length.toLongLong()));
        return;
    }
    // One without a length is stopped once it passes the limit.
    const QByteArray chunk = reply_->readAll();
    received_ += chunk.size();
    if (received_ > limits_.maxBytes) {
        finish(false, tr("File too large (over %1 bytes)").arg(limits_.maxBytes));
        return;
    }
    qint64 written = 0;
    while (written < chunk.size()) {
        const qint64 n = file_.write(chunk.constData() + written, chunk.size() - written);
        if (n <= 0) {
            finish(false, file_.errorString());
            return;
        }
        written += n;
    }
}

void DownloadJob::onReplyFinished() {
    if (done_ || !reply_)
        return;
    onReadyRead();
    if (done_)
        return;
    if (reply_->error() != QNetworkReply::NoError) {
        // Offline, nothing goes to the network: a failure is a copy the cache
        // does not have, which the library words as an address it cannot open.
        finish(false, offline_ ? tr("Not in the Internet cache while working offline")
                               : reply_->errorString());
        return;
    }
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299)) {
        finish(false, tr("Server answered %1").arg(status));
        return;
    }
    // The network library reports a server that closes early itself; a body
    // short of its length arrives here only from a cache file cut short on
    // disk, which keeps the length of the whole answer.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != received_) {
        finish(false,
               tr("Incomplete file (%1 of %2 bytes)").arg(received_).arg(length.toLongLong()));
        return;
    }
    if (!file_.commit()) {
        finish(false, file_.errorString());
        return;
    }
    finish(true, {});
}

void DownloadJob::finish(bool ok, const QString& error, const QString& refusedSource) {
    if (done_)
        return;
    done_ = true;
    deadline_.stop();
    if (!ok)
        file_.cancelWriting();
    dropReply();
    emit finished(DownloadResult{ok, error, refusedSource});
}

} // namespace nubivista::platform
