// The fetcher against a stand-in upstream on loopback, over HTTP and HTTPS:
// conditional GET, the User-Agent, failures, limits, and certificates; and
// the upstream listings it fetches, read tolerantly.
#include "feed/nws/fetcher.h"
#include "feed/nws/listings.h"
#include "feed/nws/upstream_paths.h"
#include "radar/products.h"

#include <QHttpServer>
#include <QHttpServerResponse>
#include <QProcess>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace nubivista::feed::nws;

namespace {

const QDateTime kScanTime(QDate(2026, 12, 8), QTime(5, 30, 12), Qt::UTC);

// Serves /sn.last (a product, with Last-Modified, honouring If-Modified-Since),
// /missing (404) and /big (more than the fetcher takes).
class StandIn {
public:
    StandIn() {
        server.route("/sn.last", [this](const QHttpServerRequest& request) {
            userAgent = request.value("User-Agent");
            ifModifiedSince = request.value("If-Modified-Since");
            if (ifModifiedSince == "Tue, 08 Dec 2026 05:30:12 GMT")
                return QHttpServerResponse(QHttpServerResponder::StatusCode::NotModified);
            QHttpServerResponse response("application/octet-stream",
                                         QByteArray("SDUS53 KLSX 080530"));
            response.addHeader("Last-Modified", "Tue, 08 Dec 2026 05:30:12 GMT");
            return response;
        });
        server.route("/big", [] {
            return QHttpServerResponse("application/octet-stream", QByteArray(64 * 1024, 'x'));
        });
    }
    bool useTls(const QString& folder) {
        const int made =
            QProcess::execute(QStringLiteral("openssl"),
                              {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                               "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                               "-keyout", folder + "/key.pem", "-out", folder + "/cert.pem"});
        QFile certFile(folder + "/cert.pem");
        QFile keyFile(folder + "/key.pem");
        if (made != 0 || !certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
            return false;
        certificate = QSslCertificate(certFile.readAll());
        server.sslSetup(certificate, QSslKey(keyFile.readAll(), QSsl::Rsa));
        return true;
    }
    QUrl url(const char* path, bool tls = false) {
        if (port == 0)
            port = server.listen(QHostAddress::LocalHost);
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                        .arg(tls ? "https" : "http")
                        .arg(port)
                        .arg(QLatin1String(path)));
    }

    QHttpServer server;
    QSslCertificate certificate;
    QByteArray userAgent;
    QByteArray ifModifiedSince;
    quint16 port = 0;
};

FetchResult fetch(Fetcher& fetcher, const QUrl& url, const QDateTime& since = {}) {
    std::optional<FetchResult> result;
    fetcher.get(url, since, [&result](const FetchResult& r) { result = r; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        << url.toString().toStdString();
    return result.value_or(FetchResult{});
}

} // namespace

TEST(Fetcher, AProductComesWithItsTimeAndComesOnlyWhenNewer) {
    StandIn upstream;
    Fetcher fetcher;
    const FetchResult first = fetch(fetcher, upstream.url("/sn.last"));
    ASSERT_EQ(first.outcome, FetchResult::Outcome::Fetched) << first.error.toStdString();
    EXPECT_EQ(first.body, QByteArray("SDUS53 KLSX 080530"));
    EXPECT_EQ(first.lastModified, kScanTime);
    EXPECT_TRUE(upstream.userAgent.startsWith("nubivista-feed/"))
        << upstream.userAgent.toStdString();

    EXPECT_EQ(fetch(fetcher, upstream.url("/sn.last"), kScanTime).outcome,
              FetchResult::Outcome::NotModified)
        << upstream.ifModifiedSince.toStdString();
}

TEST(Fetcher, FailuresSayWhatWentWrong) {
    StandIn upstream;
    Fetcher fetcher;
    fetcher.setMaxBytes(16 * 1024);
    const FetchResult missing = fetch(fetcher, upstream.url("/missing"));
    EXPECT_EQ(missing.outcome, FetchResult::Outcome::Failed);
    EXPECT_EQ(missing.error, QStringLiteral("HTTP 404"));
    const FetchResult big = fetch(fetcher, upstream.url("/big"));
    EXPECT_EQ(big.outcome, FetchResult::Outcome::Failed);
    EXPECT_TRUE(big.body.isEmpty());

    // An upstream that takes the request and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    fetcher.setTimeoutMs(300);
    const FetchResult hung = fetch(
        fetcher, QUrl(QStringLiteral("http://127.0.0.1:%1/sn.last").arg(silent.serverPort())));
    EXPECT_EQ(hung.outcome, FetchResult::Outcome::Failed);
    EXPECT_EQ(hung.error, QStringLiteral("no answer in time"));

    // One that sends a byte now and then is never silent for long, but its
    // answer has a deadline all the same.
    QTcpServer dripping;
    ASSERT_TRUE(dripping.listen(QHostAddress::LocalHost));
    QTimer drip;
    QObject::connect(&drip, &QTimer::timeout, [&dripping] {
        static const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n";
        while (QTcpSocket* socket = dripping.nextPendingConnection())
            socket->write(head);
        for (QTcpSocket* socket : dripping.findChildren<QTcpSocket*>())
            socket->write("x");
    });
    drip.start(100);
    fetcher.setTotalTimeoutMs(1200);
    const FetchResult slow = fetch(
        fetcher, QUrl(QStringLiteral("http://127.0.0.1:%1/sn.last").arg(dripping.serverPort())));
    EXPECT_EQ(slow.outcome, FetchResult::Outcome::Failed);
    EXPECT_EQ(slow.error, QStringLiteral("the answer took longer than 1 s"));
}

TEST(Fetcher, HttpsWorksWithATrustedCertificateAndRefusesAnUntrustedOne) {
    QTemporaryDir folder;
    StandIn upstream;
    ASSERT_TRUE(upstream.useTls(folder.path())) << "openssl made no certificate";

    Fetcher untrusting;
    const FetchResult refused = fetch(untrusting, upstream.url("/sn.last", true));
    EXPECT_EQ(refused.outcome, FetchResult::Outcome::Failed);
    EXPECT_FALSE(refused.error.isEmpty());
    EXPECT_TRUE(refused.body.isEmpty());

    Fetcher trusting;
    trusting.addCaCertificates({upstream.certificate});
    const FetchResult fetched = fetch(trusting, upstream.url("/sn.last", true));
    EXPECT_EQ(fetched.outcome, FetchResult::Outcome::Fetched) << fetched.error.toStdString();
    EXPECT_EQ(fetched.lastModified, kScanTime);
}

TEST(Upstream, TheProductTreeIndexGivesItsFilesWithTimesInEitherDateForm) {
    const QByteArray html =
        R"(<html><body><h1>Index of /SL.us008001/DF.of/DC.radar/DS.p94r0/SI.kmkx</h1>
<pre><a href="?C=N;O=D">Name</a>  <a href="?C=M;O=A">Last modified</a>  <a href="?C=S;O=A">Size</a>
<a href="/SL.us008001/DF.of/DC.radar/DS.p94r0/">Parent Directory</a>                                  -
<a href="sn.0249">sn.0249</a>            08-Dec-2026 04:58   25K
<a href="sn.0250">sn.0250</a>            08-Dec-2026 05:03   26K
<a href="sn.0000">sn.0000</a>            2026-12-08 05:08   26K
<a href="sn.last">sn.last</a>            08-Dec-2026 05:08   26K
<a href="sn.0001">sn.0001</a>            garbled   26K
</pre></body></html>)";
    std::vector<ListingEntry> entries = parseProductTreeIndex(html);
    ASSERT_EQ(entries.size(), 4u) << "sn.last and other links are left out";
    EXPECT_EQ(entries[2].modified, QDateTime(QDate(2026, 12, 8), QTime(5, 8), Qt::UTC));
    EXPECT_FALSE(entries[3].modified.isValid());
    // The files wrap from sn.0250 to sn.0000: time orders them, not names.
    entries.pop_back();
    const std::vector<ListingEntry> newest = newestEntries(entries, 2);
    ASSERT_EQ(newest.size(), 2u);
    EXPECT_EQ(newest[0].name, QStringLiteral("sn.0000"));
    EXPECT_EQ(newest[1].name, QStringLiteral("sn.0250"));
    EXPECT_TRUE(parseProductTreeIndex("<html>403 Forbidden</html>").empty());
}

TEST(Upstream, TheArchiveListingGivesItsKeysAndSaysWhenItIsCutShort) {
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<ListBucketResult xmlns="http://s3.amazonaws.com/doc/2006-03-01/">
  <Name>unidata-nexrad-level3</Name><Prefix>MKX_N0Q_2026_12_08</Prefix><KeyCount>2</KeyCount>
  <IsTruncated>true</IsTruncated><NextContinuationToken>abc=</NextContinuationToken>
  <Contents><Key>MKX_N0Q_2026_12_08_05_25_40</Key><LastModified>2026-12-08T05:27:01.000Z</LastModified><Size>26112</Size></Contents>
  <Contents><Key>MKX_N0Q_2026_12_08_05_30_12</Key><LastModified>2026-12-08T05:31:40.000Z</LastModified><Size>26540</Size></Contents>
</ListBucketResult>)";
    const ArchiveListing listing = parseArchiveListing(xml);
    ASSERT_EQ(listing.keys.size(), 2u);
    EXPECT_EQ(listing.keys[1].name, QStringLiteral("MKX_N0Q_2026_12_08_05_30_12"));
    // Keys are names of the archive's own form, never addresses.
    std::vector<ListingEntry> keys = listing.keys;
    for (const char* foreign : {"file:///dev/stdin", "http://127.0.0.1:9/x", "MKX_N0Q_2099"})
        keys.push_back({QString::fromLatin1(foreign), {}});
    EXPECT_EQ(newestArchiveKeys(keys, 5),
              (std::vector<QString>{listing.keys[1].name, listing.keys[0].name}));
    // Damage keeps what came before it; nothing at all gives nothing.
    EXPECT_EQ(parseArchiveListing(xml.left(xml.indexOf("</Contents>") + 11)).keys.size(), 1u);
    EXPECT_TRUE(parseArchiveListing("<Error><Code>AccessDenied</Code></Error>").keys.empty());
}
