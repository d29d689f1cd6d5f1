#pragma once
// An Internet layer for window tests: the test sets the connection state, the
// results of the offline switch and of the options dialog, and what the
// server has published; the fake counts what the window asked of it. Fresh
// fetches are answered at once.
#include "acquisition/platform/internet_service.h"

#include <QFile>
#include <QStringList>
#include <map>

namespace nubivista::platform::testing {

class FakeInternetService final : public InternetService {
public:
    ConnectionState connectionState() override { return state; }
    void dial() override { ++dials; }
    bool goOnline() override {
        ++goOnlineCalls;
        state.offline = state.offline && !goOnlineResult;
        return goOnlineResult;
    }
    bool goOffline() override {
        ++goOfflineCalls;
        state.offline = state.offline || goOfflineResult;
        return goOfflineResult;
    }
    std::optional<CacheEntry> cacheEntry(const QUrl& address) override {
        const auto found = cache.find(address.toString());
        return found == cache.end() ? std::nullopt : std::optional(found->second);
    }
    DownloadResult downloadToFile(const QUrl& address, const QString& path) override {
        ++downloadCalls;
        downloadTargets << path;
        if (const auto refused = refusedSources.find(address.toString());
            refused != refusedSources.end())
            return {false, QStringLiteral("refused"), refused->second};
        const auto found = downloads.find(address.toString());
        QFile source(found == downloads.end() ? QString() : found->second);
        if (!source.open(QIODevice::ReadOnly))
            return {false, QStringLiteral("download refused")};
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
    void fetchFresh(const QUrl& address, int, QObject*, FetchDone done) override {
        fetches << address.toString();
        const auto found = pages.find(address.toString());
        done(found == pages.end() ? std::nullopt : std::optional(found->second));
    }

    // The cache shows the copy and a download fetches sourceFile (an empty
    // name makes the download fail).
    void publish(const QString& address, const QDateTime& lastModifiedUtc, qint64 size,
                 const QString& sourceFile) {
        cache[address] = CacheEntry{lastModifiedUtc, size};
        downloads[address] = sourceFile;
    }

    ConnectionState state;
    bool goOnlineResult = true;
    bool goOfflineResult = true;
    bool optionsDialogResult = true;
    std::map<QString, CacheEntry> cache;       // by address text
    std::map<QString, QString> downloads;      // source file by address text
    std::map<QString, QByteArray> pages;       // fresh fetches' bodies; others fail
    std::map<QString, QString> refusedSources; // refused as a picture of that source

    int dials = 0;
    int goOnlineCalls = 0;
    int goOfflineCalls = 0;
    int downloadCalls = 0;
    int optionsDialogCalls = 0;
    QStringList downloadTargets;
    QStringList fetches;
};

} // namespace nubivista::platform::testing
