#pragma once
// An Internet layer that reaches nothing: connected, an empty cache, every
// download refused, the offline switch kept in memory. For programs that draw
// the main window without a network (benchmarks, screenshots).
#include "acquisition/platform/internet_service.h"

namespace nubivista::platform {

class NullInternetService final : public InternetService {
public:
    ConnectionState connectionState() override {
        ConnectionState state;
        state.offline = offline_;
        return state;
    }
    void dial() override {}
    bool goOnline() override {
        offline_ = false;
        return true;
    }
    bool goOffline() override {
        offline_ = true;
        return true;
    }
    std::optional<CacheEntry> cacheEntry(const QUrl&) override { return std::nullopt; }
    DownloadResult downloadToFile(const QUrl&, const QString&) override {
        return {false, QStringLiteral("no network")};
    }
    bool showOptionsDialog(QWidget*) override { return false; }

private:
    bool offline_ = false;
};

} // namespace nubivista::platform
