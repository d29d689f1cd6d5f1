#pragma once
// The one road from the live source to its upstreams: GET with
// If-Modified-Since, a User-Agent that names the feed, a size limit and two
// time limits: for silence, and for the whole answer, so that an upstream
// that drips its bytes is cut off too. Over HTTP or HTTPS (the system's
// proxy settings apply).
#include <QDateTime>
#include <QList>
#include <QNetworkAccessManager>
#include <QSslCertificate>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

namespace nubivista::feed::nws {

struct FetchResult {
    enum class Outcome { Fetched, NotModified, Failed };
    Outcome outcome = Outcome::Failed;
    int status = 0;
    QByteArray body;
    QDateTime lastModified; // UTC, when the upstream said
    QString error;          // what went wrong, for a log line
};

class Fetcher : public QObject {
    Q_OBJECT
public:
    explicit Fetcher(QObject* parent = nullptr);

    void setTimeoutMs(int ms) { timeoutMs_ = ms; }
    void setTotalTimeoutMs(int ms) { totalTimeoutMs_ = ms; }
    void setMaxBytes(qint64 bytes) { maxBytes_ = bytes; }
    // Tests only: certificate authorities to trust besides the system's, for
    // a stand-in upstream served with its own certificate.
    void addCaCertificates(const QList<QSslCertificate>& certificates);

    // done runs once, later, on this thread. headers go with the request
    // ("Accept").
    using Headers = std::vector<std::pair<QByteArray, QByteArray>>;
    void get(const QUrl& url, const QDateTime& ifModifiedSince,
             std::function<void(const FetchResult&)> done, const Headers& headers = {});

    static QByteArray userAgent();

private:
    QNetworkAccessManager manager_;
    QList<QSslCertificate> extraCas_;
    int timeoutMs_ = 20'000;      // without a byte
    int totalTimeoutMs_ = 60'000; // from the ask to the last byte
    qint64 maxBytes_ = 8 << 20;
};

} // namespace nubivista::feed::nws
