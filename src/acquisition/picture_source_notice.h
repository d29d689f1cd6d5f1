#pragma once
// The Internet layer as the process uses it, with one addition: when the layer
// refuses a picture because it names another source than the feed the program
// runs on (the demo's simulated storms in a live window), the user is told once
// in the program's run. The refused download fails as any other, so the slot
// keeps what it had; every other call passes straight through.
#include "acquisition/platform/internet_service.h"

namespace nubivista::core {
class MessageService;
}

namespace nubivista::acquisition {

class PictureSourceNotice final : public platform::InternetService {
public:
    PictureSourceNotice(platform::InternetService& internet, core::MessageService& messages)
        : internet_(internet), messages_(messages) {}

    // The words of the notice for a picture that named source.
    static QString noticeText(const QString& source);

    platform::ConnectionState connectionState() override { return internet_.connectionState(); }
    bool workingOffline() override { return internet_.workingOffline(); }
    void dial() override { internet_.dial(); }
    bool goOnline() override { return internet_.goOnline(); }
    bool goOffline() override { return internet_.goOffline(); }
    std::optional<platform::CacheEntry> cacheEntry(const QUrl& address) override {
        return internet_.cacheEntry(address);
    }
    platform::DownloadResult downloadToFile(const QUrl& address, const QString& path) override;
    bool showOptionsDialog(QWidget* parent) override { return internet_.showOptionsDialog(parent); }
    QString feedReason(const QUrl& address) override { return internet_.feedReason(address); }
    void fetchFresh(const QUrl& address, int timeoutMs, QObject* receiver,
                    FetchDone done) override {
        internet_.fetchFresh(address, timeoutMs, receiver, std::move(done));
    }

private:
    platform::InternetService& internet_;
    core::MessageService& messages_;
    bool told_ = false;
};

} // namespace nubivista::acquisition
