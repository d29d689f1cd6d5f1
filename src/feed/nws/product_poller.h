#pragma once
// Keeps one site's scans of one program product up to date from the
// upstreams: the product tree first, the cloud archive when that fails. It
// asks at most once a minute, with If-Modified-Since, and only when asked,
// and remembers what the upstreams last answered and why, for the status page.
#include "feed/level3/decode.h"
#include "feed/nws/ask_gate.h"
#include "feed/nws/fetcher.h"
#include "feed/nws/listings.h"
#include "feed/nws/off_thread.h"
#include "feed/nws/scan_archive.h"
#include "radar/products.h"
#include "radar/site_table.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace nubivista::feed::nws {

struct Upstreams {
    QUrl productTree; // "https://tgftp.nws.noaa.gov/"
    QUrl archive;     // "https://unidata-nexrad-level3.s3.amazonaws.com/"
    // The shortest time between two asks for one product: scans come every
    // few minutes, and the weather service is asked no more than it needs.
    qint64 askEverySeconds = 60;
    // Where a fault of the upstreams is told, once when it starts and once
    // when it clears; nowhere when empty.
    std::function<void(const QString&)> log = {};
};

enum class Upstream { Tree, Archive };
QString upstreamName(Upstream upstream); // "tree", "archive"

// What an upstream answered last, and when.
struct UpstreamAnswer {
    Upstream upstream = Upstream::Tree;
    int status = 0; // HTTP status; 0 when there was no answer
    QString reason; // "the tree answered 503"
    QDateTime at;   // UTC
};

class ProductPoller : public QObject {
    Q_OBJECT
public:
    ProductPoller(Fetcher& fetcher, Upstreams upstreams, const radar::SiteRow& site,
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
    // Why, in one sentence: "DS.170aa/SI.klot: the tree answered 404; the
    // archive has no scan of 2026-12-09". Empty while the upstreams work.
    QString lastError() const { return lastError_; }
    // For a watcher: "KLSX has published nothing since 18:59 UTC (the tree
    // answered 503)"; empty before any scan or error.
    QString summary() const;
    // Why the last refresh failed, in a watcher's words: "The weather service
    // could not be reached: host tgftp.nws.noaa.gov not found". Empty while
    // the upstreams work.
    QString watcherReason() const { return watcherReason_; }
    // The last refresh had no answer from either upstream: no network, no
    // name service, or both hosts down.
    bool unreachable() const { return unreachable_; }
    QDateTime lastAsked() const { return gate_.lastAsked(); }
    // A refresh is under way.
    bool refreshing() const { return gate_.busy(); }

    const radar::SiteRow& site() const { return site_; }
    const radar::RadarProductCode& product() const { return product_; }
    // The Level III product in use, once one had data ("N0Q", "DS.p94r0").
    std::optional<radar::Level3Source> chosenSource() const;
    // Where the newest scan came from, once there is one.
    std::optional<Upstream> newestFrom() const { return newestFrom_; }
    std::optional<UpstreamAnswer> lastAnswer() const { return lastAnswer_; }
    // What the one upstream answered last.
    std::optional<UpstreamAnswer> lastAnswerOf(Upstream upstream) const {
        return answers_[upstream == Upstream::Tree ? 0 : 1];
    }
    // When the upstreams will next be asked (when asked for the picture).
    QDateTime nextAsk() const;

private:
    void askProductTree(std::size_t source);
    void askArchive(std::size_t source, const QDate& day, bool dayBefore);
    // The newest scans' keys of one day, newest first (at most kKept), through
    // every page of the listing: an airport radar scans every minute, more
    // than one page holds. Nothing when the first page did not come.
    using DayListed = std::function<void(std::optional<std::vector<QString>>, const FetchResult&)>;
    void listArchiveDay(std::size_t source, const QDate& day, DayListed done,
                        const QString& continuation = {}, std::vector<QString> found = {},
                        int page = 0);
    void fetchArchiveKey(std::size_t source, const QString& key);
    // Tells each listed key of another form than a scan's, once.
    void logSkippedKeys(const std::vector<ListingEntry>& keys);
    void listLoop(const QDate& day, bool dayBefore, std::vector<QString> found);
    // Fetches the named files one after another, then ends the loop refresh.
    void fetchLoopFiles(std::vector<QUrl> files, Upstream from);
    void finishLoop();
    void treeFailed(std::size_t source, const FetchResult& result);
    // Decodes a product off this thread and keeps it when it is a scan of
    // this site and product; then done, with the reason when it was not.
    using Kept = std::function<void(const std::optional<QString>& refused)>;
    void keep(const QByteArray& bytes, std::size_t source, Upstream from, Kept done);
    std::optional<QString> accept(level3::DecodeResult decoded, std::size_t source, Upstream from);
    void note(Upstream upstream, const FetchResult& result, const QString& reason);
    void finish(bool failed);
    QUrl productTreeUrl(std::size_t source, const QString& name) const;
    QUrl archiveKeyUrl(const QString& key) const;
    QString where(std::size_t source) const; // "DS.170aa/SI.klot"

    Fetcher& fetcher_;
    Upstreams upstreams_;
    const radar::SiteRow& site_;
    const radar::RadarProductCode& product_;
    std::span<const radar::Level3Source> sources_;
    ScanArchive scans_;
    // Scans dated more than this ahead of the clock are refused.
    static constexpr qint64 kAheadOfClockSeconds = 10 * 60;
    QDateTime askedAt_;
    QDateTime clockNow_; // the latest time an ask was made at
    // The Level III product found to have data, once one has.
    std::optional<std::size_t> chosen_;
    std::array<QDateTime, 2> lastModified_;
    AskGate gate_;
    QDateTime loopAsked_;
    std::vector<std::function<void()>> loopWaiting_;
    bool loopBusy_ = false;
    // Files fetched for the loop already, by name and listed time.
    QSet<QString> loopFetched_;
    QSet<QString> skippedKeys_; // told already
    bool failing_ = false;
    QString lastError_;
    QString reasons_; // lastError_ without where: what each upstream said
    // This refresh's reasons, joined into lastError_ when both upstreams fail.
    QString treeReason_;
    QString archiveReason_;
    std::array<bool, 2> unanswered_{}; // this refresh: tree, archive gave no answer
    QString firstUnanswered_;          // what the first of them failed with
    bool unreachable_ = false;
    QString watcherReason_;
    std::optional<Upstream> newestFrom_;
    std::optional<UpstreamAnswer> lastAnswer_;
    std::array<std::optional<UpstreamAnswer>, 2> answers_; // tree, archive
    OffThread offThread_;                                  // last: its work's answers end with it
};

} // namespace nubivista::feed::nws
