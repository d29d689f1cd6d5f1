#include "feed/nws/product_poller.h"

#include "feed/level3/decode.h"
#include "feed/level3/product_codes.h"
#include "feed/nws/listings.h"
#include "feed/nws/upstream_paths.h"

namespace nubivista::feed::nws {

ProductPoller::ProductPoller(Fetcher& fetcher, Upstreams upstreams, QString siteCode,
                             const radar::RadarProductCode& product, QObject* parent)
    : QObject(parent),
      fetcher_(fetcher),
      upstreams_(std::move(upstreams)),
      siteCode_(siteCode.toLower()),
      product_(product) {}

std::size_t ProductPoller::sourceCount() const {
    return product_.level3[1].directory.isEmpty() ? 1 : 2;
}

QUrl ProductPoller::productTreeUrl(std::size_t source, const QString& name) const {
    return upstreams_.productTree.resolved(
        QUrl(productTreeFile(product_.level3[source].directory, siteCode_, name)));
}

void ProductPoller::refresh(const QDateTime& now, std::function<void()> done) {
    waiting_.push_back(std::move(done));
    if (busy_)
        return;
    if (lastAsked_.isValid() && lastAsked_.secsTo(now) < upstreams_.askEverySeconds) {
        finish(failing_, lastError_);
        return;
    }
    busy_ = true;
    lastAsked_ = now;
    askedAt_ = now;
    askProductTree(chosen_.value_or(0));
}

void ProductPoller::askProductTree(std::size_t source) {
    fetcher_.get(productTreeUrl(source, QStringLiteral("sn.last")), lastModified_[source],
                 [this, source](const FetchResult& result) {
                     if (result.outcome == FetchResult::Outcome::NotModified) {
                         finish(false);
                         return;
                     }
                     if (result.outcome == FetchResult::Outcome::Fetched &&
                         keep(result.body, source)) {
                         lastModified_[source] = result.lastModified;
                         finish(false);
                         return;
                     }
                     // A product the tree does not carry for this radar: the next
                     // one that stands for the same picture.
                     if (result.status == 404 && !chosen_ && source + 1 < sourceCount()) {
                         askProductTree(source + 1);
                         return;
                     }
                     askArchive(chosen_.value_or(0), askedAt_.date(), false);
                 });
}

void ProductPoller::askArchive(std::size_t source, const QDate& day, bool dayBefore) {
    const QString awips = product_.level3[source].awips;
    const QUrl listing = upstreams_.archive.resolved(QUrl(archiveListing(siteCode_, awips, day)));
    fetcher_.get(listing, {}, [this, source, day, dayBefore](const FetchResult& result) {
        if (result.outcome != FetchResult::Outcome::Fetched) {
            finish(true, QStringLiteral("both upstreams failed; the archive: ") + result.error);
            return;
        }
        const std::vector<ListingEntry> newest =
            newestEntries(parseArchiveListing(result.body).keys, 1);
        if (!newest.empty()) {
            fetchArchiveKey(source, newest.front().name);
            return;
        }
        // Just after midnight the day's folder may still be empty.
        if (!dayBefore) {
            askArchive(source, day.addDays(-1), true);
            return;
        }
        if (!chosen_ && source + 1 < sourceCount()) {
            askArchive(source + 1, askedAt_.date(), false);
            return;
        }
        finish(true, QStringLiteral("neither upstream has this product now"));
    });
}

void ProductPoller::fetchArchiveKey(std::size_t source, const QString& key) {
    fetcher_.get(
        upstreams_.archive.resolved(QUrl(key)), {}, [this, source](const FetchResult& result) {
            if (result.outcome == FetchResult::Outcome::Fetched && keep(result.body, source)) {
                finish(false);
                return;
            }
            finish(true,
                   QStringLiteral("both upstreams failed; the archive's product: ") +
                       (result.error.isEmpty() ? QStringLiteral("not a product") : result.error));
        });
}

bool ProductPoller::keep(const QByteArray& bytes, std::size_t source) {
    level3::DecodeResult decoded = level3::decodeLevel3(bytes);
    if (auto* error = std::get_if<level3::DecodeError>(&decoded)) {
        lastError_ = level3::describe(*error);
        return false;
    }
    auto product =
        std::make_shared<const level3::Product>(std::get<level3::Product>(std::move(decoded)));
    // Only the product asked for, of the radar asked for.
    const level3::ProductCodeInfo* wanted =
        level3::productCodeInfo(QString(product_.level3[source].awips));
    if (wanted == nullptr || product->description.productCode != wanted->code ||
        !product->heading.awipsId.endsWith(archiveSiteId(siteCode_), Qt::CaseInsensitive))
        return false;
    chosen_ = source;
    scans_.add({product->description.volumeScanTime, std::move(product)});
    return true;
}

void ProductPoller::finish(bool failed, const QString& error) {
    busy_ = false;
    failing_ = failed;
    if (!error.isEmpty() || !failed)
        lastError_ = failed ? error : QString();
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (auto& done : waiting)
        done();
}

void ProductPoller::refreshLoop(const QDateTime& now, std::function<void()> done) {
    loopWaiting_.push_back(std::move(done));
    if (loopBusy_)
        return;
    if (loopAsked_.isValid() && loopAsked_.secsTo(now) < upstreams_.askEverySeconds) {
        finishLoop();
        return;
    }
    loopBusy_ = true;
    loopAsked_ = now;
    const std::size_t source = chosen_.value_or(0);
    fetcher_.get(productTreeUrl(source, QString()), {},
                 [this, source, now](const FetchResult& result) {
                     const std::vector<ListingEntry> files =
                         result.outcome == FetchResult::Outcome::Fetched
                             ? newestEntries(parseProductTreeIndex(result.body), ScanArchive::kKept)
                             : std::vector<ListingEntry>{};
                     if (files.empty()) {
                         listLoop(now.date(), false, {});
                         return;
                     }
                     std::vector<QUrl> wanted;
                     for (const ListingEntry& file : files) {
                         const QString seen = file.name + file.modified.toString(Qt::ISODate);
                         if (!loopFetched_.contains(seen)) {
                             loopFetched_.insert(seen);
                             wanted.push_back(productTreeUrl(source, file.name));
                         }
                     }
                     fetchLoopFiles(std::move(wanted));
                 });
}

void ProductPoller::listLoop(const QDate& day, bool dayBefore, std::vector<QString> found) {
    const std::size_t source = chosen_.value_or(0);
    const QUrl listing = upstreams_.archive.resolved(
        QUrl(archiveListing(siteCode_, product_.level3[source].awips, day)));
    fetcher_.get(listing, {}, [this, day, dayBefore, found](const FetchResult& result) mutable {
        if (result.outcome == FetchResult::Outcome::Fetched)
            for (const ListingEntry& key :
                 newestEntries(parseArchiveListing(result.body).keys, ScanArchive::kKept))
                found.push_back(key.name);
        // Early in the day the day before holds the rest of the ten.
        if (found.size() < ScanArchive::kKept && !dayBefore) {
            listLoop(day.addDays(-1), true, std::move(found));
            return;
        }
        std::vector<QUrl> wanted;
        for (const QString& key : found) {
            if (!loopFetched_.contains(key)) {
                loopFetched_.insert(key);
                wanted.push_back(upstreams_.archive.resolved(QUrl(key)));
            }
        }
        fetchLoopFiles(std::move(wanted));
    });
}

void ProductPoller::fetchLoopFiles(std::vector<QUrl> files) {
    if (files.empty()) {
        finishLoop();
        return;
    }
    const QUrl next = files.back();
    files.pop_back();
    fetcher_.get(next, {}, [this, files = std::move(files)](const FetchResult& result) mutable {
        if (result.outcome == FetchResult::Outcome::Fetched)
            keep(result.body, chosen_.value_or(0));
        fetchLoopFiles(std::move(files));
    });
}

void ProductPoller::finishLoop() {
    loopBusy_ = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(loopWaiting_);
    for (auto& done : waiting)
        done();
}

} // namespace nubivista::feed::nws
