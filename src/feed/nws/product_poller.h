#pragma once
// Keeps one site's scans of one program product up to date from the
// upstreams: the product tree first, the cloud archive when that fails. It
// asks at most once a minute, with If-Modified-Since, and only when asked.
#include "feed/nws/fetcher.h"
#include "feed/nws/scan_archive.h"
#include "radar/products.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>
#include <vector>

namespace nubivista::feed::nws {

struct Upstreams {
    QUrl productTree; // "https://tgftp.nws.noaa.gov/"
    QUrl archive;     // "https://unidata-nexrad-level3.s3.amazonaws.com/"
    // The shortest time between two asks for one product: scans come every
    // few minutes, and the weather service is asked no more than it needs.
    qint64 askEverySeconds = 60;
};

class ProductPoller : public QObject {
    Q_OBJECT
public:
    ProductPoller(Fetcher& fetcher, Upstreams upstreams, QString siteCode,
                  const radar::RadarProductCode& product, QObject* parent = nullptr);

    // Brings the scans up to date; done runs when that is finished, at once
    // when the upstreams were asked less than askEverySeconds ago.
    void refresh(const QDateTime& now, std::function<void()> done);

    // Fills the scans up to the ten newest the upstreams hold, for the loop
    // list, asking at most once in askEverySeconds; done runs when that is finished.
    void refreshLoop(const QDateTime& now, std::function<void()> done);

    const ScanArchive& scans() const { return scans_; }
    // The last refresh found neither upstream working.
    bool failing() const { return failing_; }
    QString lastError() const { return lastError_; }

private:
    void askProductTree(std::size_t source);
    void askArchive(std::size_t source, const QDate& day, bool dayBefore);
    void fetchArchiveKey(std::size_t source, const QString& key);
    void listLoop(const QDate& day, bool dayBefore, std::vector<QString> found);
    // Fetches the named files one after another, then ends the loop refresh.
    void fetchLoopFiles(std::vector<QUrl> files);
    void finishLoop();
    // Decodes a product and keeps it; false when it is no product of this kind.
    bool keep(const QByteArray& bytes, std::size_t source);
    void finish(bool failed, const QString& error = {});
    std::size_t sourceCount() const;
    QUrl productTreeUrl(std::size_t source, const QString& name) const;

    Fetcher& fetcher_;
    Upstreams upstreams_;
    QString siteCode_;
    const radar::RadarProductCode& product_;
    ScanArchive scans_;
    QDateTime lastAsked_;
    QDateTime askedAt_;
    // The Level III product found to have data, once one has.
    std::optional<std::size_t> chosen_;
    std::array<QDateTime, 2> lastModified_;
    std::vector<std::function<void()>> waiting_;
    QDateTime loopAsked_;
    std::vector<std::function<void()>> loopWaiting_;
    bool loopBusy_ = false;
    // Files fetched for the loop already, by name and listed time.
    QSet<QString> loopFetched_;
    bool busy_ = false;
    bool failing_ = false;
    QString lastError_;
};

} // namespace nubivista::feed::nws
