#pragma once
// The Internet layer as the windows see it: connection state, the offline
// switch, the cache entry of an address and the download of an address into a
// file. The windows receive an InternetService at construction; tests give
// them a fake.
#include "acquisition/platform/connection_state.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QWidget;

namespace nubivista::platform {

// What the cache holds for an address: the server's Last-Modified time (UTC)
// and the size of the body in bytes.
struct CacheEntry {
    QDateTime lastModifiedUtc;
    qint64 size = 0;
};

struct DownloadResult {
    DownloadResult(bool succeeded = false, QString why = {}, QString refused = {})
        : ok(succeeded), error(std::move(why)), refusedSource(std::move(refused)) {}

    bool ok = false;
    QString error; // why it failed, for the user; empty on success
    // A picture refused because it names another source than the feed the
    // layer serves (see DownloadJob): the source it named; empty otherwise.
    QString refusedSource;
};

class InternetService {
public:
    virtual ~InternetService() = default;

    virtual ConnectionState connectionState() = 0;
    // The offline switch alone, read every second: without the look at the
    // network interfaces that the whole state takes.
    virtual bool workingOffline() { return connectionState().offline; }
    // Asks for a connection; the caller reads the state again afterwards.
    virtual void dial() = 0;
    // The offline switch; true when the switch now is where it was asked to be.
    virtual bool goOnline() = 0;
    virtual bool goOffline() = 0;

    // The cache entry of an address, or nothing when the address is not cached
    // (or its entry carries no Last-Modified time). Only reads the cache.
    virtual std::optional<CacheEntry> cacheEntry(const QUrl& address) = 0;

    // Fetches the address into the file at path; returns when done or failed.
    // The file is replaced only by a complete body: on any failure it stays as
    // it was. Offline, only a cached copy is used. A picture of another source
    // than the layer's feed is refused (refusedSource says which).
    virtual DownloadResult downloadToFile(const QUrl& address, const QString& path) = 0;

    // Why the feed last refused the address, in its own words ("The weather
    // service could not be reached: host tgftp.nws.noaa.gov not found");
    // empty when its last answer was good or it gave no reason.
    virtual QString feedReason(const QUrl& address) {
        Q_UNUSED(address);
        return {};
    }

    // Opens the Internet options dialog; false when it cannot be opened.
    virtual bool showOptionsDialog(QWidget* parent) = 0;

    // Fetches a small page that is read rather than shown (the feed's status)
    // straight from its server, never from the cache nor into it. Returns at
    // once; done runs later on receiver's thread with the body of a 2xx answer,
    // or with nothing when the request failed, timed out after timeoutMs, was
    // too large, or the layer works offline. Once receiver is gone it never
    // runs. This one reaches nothing.
    using FetchDone = std::function<void(std::optional<QByteArray> body)>;
    virtual void fetchFresh(const QUrl& address, int timeoutMs, QObject* receiver, FetchDone done) {
        Q_UNUSED(address);
        Q_UNUSED(timeoutMs);
        if (receiver)
            QMetaObject::invokeMethod(
                receiver, [done = std::move(done)] { done(std::nullopt); }, Qt::QueuedConnection);
    }
};

} // namespace nubivista::platform
