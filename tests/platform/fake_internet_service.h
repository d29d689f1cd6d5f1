#pragma once
// An Internet layer for window tests: the test sets the connection state, the
// results of the offline switch and of the options dialog, what the cache
// holds for each address and what a download of it fetches; the fake counts
// what the window asked of it.
#include "acquisition/platform/internet_service.h"

#include <QFile>
#include <QStringList>
#include <functional>
#include <map>

namespace nubivista::platform::testing {

class FakeInternetService final : public InternetService {
public:
    // What a download of an address does: copies sourceFile into the target,
    // or fails with error when sourceFile is empty.
    struct Download {
        QString sourceFile;
        QString error = QStringLiteral("download refused");
    };

    ConnectionState connectionState() override {
        ++stateReads;
        return state;
    }
    void dial() override {
        ++dials;
        if (onDial)
            onDial();
    }
    bool goOnline() override {
        ++goOnlineCalls;
        if (goOnlineResult)
            state.offline = false;
        return goOnlineResult;
    }
    bool goOffline() override {
        ++goOfflineCalls;
        if (goOfflineResult)
            state.offline = true;
        return goOfflineResult;
    }
    std::optional<CacheEntry> cacheEntry(const QUrl& address) override {
        ++cacheReads;
        const auto found = cache.find(address.toString());
        if (found == cache.end())
            return std::nullopt;
        return found->second;
    }
    DownloadResult downloadToFile(const QUrl& address, const QString& path) override {
        ++downloadCalls;
        downloadTargets << path;
        const auto found = downloads.find(address.toString());
        if (found == downloads.end())
            return {false, QStringLiteral("not found")};
        if (found->second.sourceFile.isEmpty())
            return {false, found->second.error};
        QFile source(found->second.sourceFile);
        if (!source.open(QIODevice::ReadOnly))
            return {false, QStringLiteral("no source")};
        const QByteArray body = source.readAll();
        QFile target(path);
        if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            target.write(body) != body.size())
            return {false, QStringLiteral("cannot write")};
        return {true, {}};
    }
    bool showOptionsDialog(QWidget*) override {
        ++optionsDialogCalls;
        return optionsDialogResult;
    }

    // The server has published a copy of address: the cache shows it and a
    // download fetches sourceFile (an empty one makes the download fail).
    void publish(const QString& address, const QDateTime& lastModifiedUtc, qint64 size,
                 const QString& sourceFile) {
        cache[address] = CacheEntry{lastModifiedUtc, size};
        downloads[address] = Download{sourceFile};
    }

    ConnectionState state;
    bool goOnlineResult = true;
    bool goOfflineResult = true;
    bool optionsDialogResult = true;
    std::map<QString, CacheEntry> cache;   // by address text
    std::map<QString, Download> downloads; // by address text
    std::function<void()> onDial;          // e.g. a dial that connects

    int stateReads = 0;
    int dials = 0;
    int goOnlineCalls = 0;
    int goOfflineCalls = 0;
    int cacheReads = 0;
    int downloadCalls = 0;
    int optionsDialogCalls = 0;
    QStringList downloadTargets;
};

} // namespace nubivista::platform::testing
