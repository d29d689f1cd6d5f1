#include "feed/nws/fetcher.h"

#include <QNetworkReply>
#include <QSslConfiguration>
#include <QTimer>
#include <memory>

namespace nubivista::feed::nws {

Fetcher::Fetcher(QObject* parent) : QObject(parent) {
    // Answers are judged here, with their own status; nothing is cached.
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void Fetcher::addCaCertificates(const QList<QSslCertificate>& certificates) {
    extraCas_ += certificates;
}

QByteArray Fetcher::userAgent() {
    return QByteArrayLiteral(
        "nubivista-feed/" NUBIVISTA_FEED_VERSION
        " (nubivista@users.noreply.github.com; a radar loop on one desktop; polls each "
        "product at most once a minute)");
}

void Fetcher::get(const QUrl& url, const QDateTime& ifModifiedSince,
                  std::function<void(const FetchResult&)> done, const Headers& headers) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(timeoutMs_);
    if (ifModifiedSince.isValid())
        request.setHeader(QNetworkRequest::IfModifiedSinceHeader, ifModifiedSince);
    if (!extraCas_.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(extraCas_);
        request.setSslConfiguration(ssl);
    }
    QNetworkReply* reply = manager_.get(request);
    auto tooLarge = std::make_shared<bool>(false);
    auto tooSlow = std::make_shared<bool>(false);
    QTimer::singleShot(totalTimeoutMs_, reply, [reply, tooSlow] {
        *tooSlow = true;
        reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, tooLarge, limit = maxBytes_](qint64 received, qint64 total) {
                if (received > limit || total > limit) {
                    *tooLarge = true;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this,
            [reply, tooLarge, tooSlow, totalMs = totalTimeoutMs_, done = std::move(done)] {
                reply->deleteLater();
                FetchResult result;
                result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                if (*tooLarge) {
                    result.error = QStringLiteral("the answer is larger than the feed takes");
                } else if (*tooSlow) {
                    result.status = 0;
                    result.error =
                        QStringLiteral("the answer took longer than %1 s").arg(totalMs / 1000);
                } else if (result.status == 304) {
                    result.outcome = FetchResult::Outcome::NotModified;
                } else if (result.status != 0 && result.status != 200) {
                    result.error = QStringLiteral("HTTP %1").arg(result.status);
                } else if (reply->error() != QNetworkReply::NoError) {
                    result.error = reply->error() == QNetworkReply::OperationCanceledError
                                       ? QStringLiteral("no answer in time")
                                       : reply->errorString();
                } else {
                    result.outcome = FetchResult::Outcome::Fetched;
                    result.body = reply->readAll();
                    result.lastModified =
                        reply->header(QNetworkRequest::LastModifiedHeader).toDateTime().toUTC();
                }
                done(result);
            });
}

} // namespace nubivista::feed::nws
