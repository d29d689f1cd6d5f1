#pragma once
// Stand-ins of the weather service's product tree and of the cloud archive on
// loopback, in one server, serving real products at the times a test gives
// (the live refresh benchmark uses it too).
#include "feed/level3/blocks.h"
#include "support/files.h"

#include <QDate>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QLocale>
#include <QtEndian>
#include <map>
#include <vector>

namespace nubivista::feed::nws::testing {

using nubivista::testing::productFile;

// A real product moved to another scan time: the volume scan date and time
// at their fixed places in the description block.
inline QByteArray retimed(QByteArray product, const QDateTime& scan) {
    const auto heading = level3::readWmoHeading(
        std::span(reinterpret_cast<const std::uint8_t*>(product.constData()), product.size()));
    const qsizetype message = heading ? qsizetype(heading->messageStart) : 0;
    const qint64 days = QDate(1970, 1, 1).daysTo(scan.date()) + 1;
    qToBigEndian(quint16(days), product.data() + message + 40);
    qToBigEndian(quint32(scan.time().msecsSinceStartOfDay() / 1000), product.data() + message + 42);
    return product;
}

inline QByteArray httpTime(const QDateTime& t) {
    return QLocale::c()
        .toString(t.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

// The product tree and the archive in one server: /SL.us008001/... (an
// index of sn.NNNN files, sn.last the newest, for any site) and /<key>. A
// listed key's upload time is the time it was put in.
class StandIn {
public:
    struct File {
        QString name;
        QDateTime time;
        QByteArray bytes;
    };

    StandIn() {
        server.route("/SL.us008001/DF.of/DC.radar/<arg>/<arg>/",
                     [this](const QString& directory, const QString& site) {
                         QByteArray html = "<html><body><pre>\n";
                         for (const File& file : tree[directory + site])
                             html += "<a href=\"" + file.name.toLatin1() + "\">" +
                                     file.name.toLatin1() + "</a>   " +
                                     QLocale::c()
                                         .toString(file.time, QStringLiteral("dd-MMM-yyyy HH:mm"))
                                         .toLatin1() +
                                     "   26K\n";
                         return QHttpServerResponse("text/html", html + "</pre></body></html>");
                     });
        server.route("/SL.us008001/DF.of/DC.radar/<arg>/<arg>/<arg>",
                     [this](const QString& directory, const QString& site, const QString& name,
                            const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                         if (hangs)
                             held.push_back(std::move(responder));
                         else
                             treeFile(directory + site, name, request).write(std::move(responder));
                     });
        // Keys in name order, pageSize a page; the token names the last key sent.
        server.route("/",
                     [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                         if (hangs)
                             held.push_back(std::move(responder));
                         else
                             listing(request).write(std::move(responder));
                     });
        server.route("/<arg>", [this](const QString& key) {
            const auto found = archive.find(key);
            return found == archive.end()
                       ? QHttpServerResponse(QHttpServerResponder::StatusCode::NotFound)
                       : QHttpServerResponse("application/octet-stream", found->second);
        });
        port = server.listen(QHostAddress::LocalHost);
    }

    QHttpServerResponse treeFile(const QString& where, const QString& name,
                                 const QHttpServerRequest& request) {
        const bool last = name == QLatin1String("sn.last");
        treeRequests += last ? 1 : 0;
        if (last && treeFails != 0)
            return QHttpServerResponse(QHttpServerResponder::StatusCode(treeFails));
        const std::vector<File>& files = tree[where];
        const File* file = nullptr;
        for (const File& f : files)
            if (f.name == name || (last && &f == &files.back()))
                file = &f;
        if (file == nullptr)
            return QHttpServerResponse(QHttpServerResponder::StatusCode::NotFound);
        const QByteArray modified = httpTime(file->time);
        if (request.value("If-Modified-Since") == modified)
            return QHttpServerResponse(QHttpServerResponder::StatusCode::NotModified);
        QHttpServerResponse response("application/octet-stream", file->bytes);
        response.addHeader("Last-Modified", modified);
        return response;
    }

    QHttpServerResponse listing(const QHttpServerRequest& request) {
        const QString prefix = request.query().queryItemValue(QStringLiteral("prefix"));
        const QString after = request.query().queryItemValue(QStringLiteral("continuation-token"),
                                                             QUrl::FullyDecoded);
        QByteArray contents;
        QString last;
        std::size_t listed = 0;
        for (const auto& [key, bytes] : archive) {
            if (!key.startsWith(prefix) || key <= after)
                continue;
            if (listed++ == pageSize)
                return QHttpServerResponse("application/xml",
                                           "<ListBucketResult><IsTruncated>true</IsTruncated>"
                                           "<NextContinuationToken>" +
                                               last.toLatin1() + "</NextContinuationToken>" +
                                               contents + "</ListBucketResult>");
            last = key;
            contents += "<Contents><Key>" + key.toLatin1() + "</Key><LastModified>" +
                        uploaded[key].toString(Qt::ISODate).toLatin1() +
                        "</LastModified></Contents>";
        }
        return QHttpServerResponse("application/xml",
                                   "<ListBucketResult><IsTruncated>false</IsTruncated>" + contents +
                                       "</ListBucketResult>");
    }

    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)); }
    // A new scan in the tree: the next sn.NNNN file, and sn.last.
    void publish(const char* directory, const QByteArray& product, const QDateTime& scan,
                 const char* site = "klsx") {
        std::vector<File>& files =
            tree[QLatin1String(directory) + QStringLiteral("SI.") + QLatin1String(site)];
        files.push_back({QStringLiteral("sn.%1").arg(files.size(), 4, 10, QLatin1Char('0')), scan,
                         retimed(product, scan)});
    }

    QHttpServer server;
    quint16 port = 0;
    std::map<QString, std::vector<File>> tree;
    std::map<QString, QByteArray> archive;
    std::map<QString, QDateTime> uploaded; // by key; invalid when not said
    int treeRequests = 0;                  // of sn.last
    int treeFails = 0;                     // a status sn.last answers with instead of the file
    std::size_t pageSize = 1000;           // keys in one page of the archive's listing
    // The tree's files and the archive's listings get no answer while set.
    bool hangs = false;
    std::vector<QHttpServerResponder> held;
};

} // namespace nubivista::feed::nws::testing
