#include "feed/nws/product_poller.h"

#include "feed/level3/decode.h"
#include "feed/level3/product_codes.h"
#include "feed/nws/listings.h"
#include "feed/nws/product_site.h"
#include "feed/nws/upstream_paths.h"

namespace nubivista::feed::nws {

namespace {

QString answerReason(const QString& upstream, const FetchResult& result) {
    if (result.status != 0)
        return QStringLiteral("the %1 answered %2").arg(upstream).arg(result.status);
    return QStringLiteral("the %1 did not answer: %2")
        .arg(upstream, result.error.isEmpty() ? QStringLiteral("no reply") : result.error);
}

} // namespace

QString upstreamName(Upstream upstream) {
    return upstream == Upstream::Tree ? QStringLiteral("tree") : QStringLiteral("archive");
}

ProductPoller::ProductPoller(Fetcher& fetcher, Upstreams upstreams, const radar::SiteRow& site,
                             const radar::RadarProductCode& product, QObject* parent)
    : QObject(parent),
      fetcher_(fetcher),
      upstreams_(std::move(upstreams)),
      site_(site),
      product_(product),
      sources_(product.sourcesFor(site.type)) {}

QString ProductPoller::where(std::size_t source) const {
    return QString(sources_[source].directory) + QStringLiteral("/SI.") + QString(site_.code);
}

QUrl ProductPoller::productTreeUrl(std::size_t source, const QString& name) const {
    return upstreams_.productTree.resolved(
        QUrl(productTreeFile(sources_[source].directory, site_.code, name)));
}

QUrl ProductPoller::archiveKeyUrl(const QString& key) const {
    // Keys are plain names (newestArchiveKeys lets no other form through),
    // taken as a path below the archive's base and never as an address.
    QUrl url = upstreams_.archive;
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    url.setPath(path + key);
    url.setQuery(QString());
    return url;
}

std::optional<radar::Level3Source> ProductPoller::chosenSource() const {
    if (!chosen_ || *chosen_ >= sources_.size())
        return std::nullopt;
    return sources_[*chosen_];
}

QDateTime ProductPoller::nextAsk() const {
    return gate_.lastAsked().isValid() ? gate_.lastAsked().addSecs(upstreams_.askEverySeconds)
                                       : QDateTime();
}

QString ProductPoller::summary() const {
    const QString radar = QString(site_.code).toUpper();
    QString text;
    if (const Scan* newest = scans_.latest())
        text = QStringLiteral("%1 has published nothing since %2 UTC")
                   .arg(radar, newest->time.toUTC().toString(QStringLiteral("HH:mm")));
    else if (failing_)
        text = QStringLiteral("%1 has published no %2 since the feed started")
                   .arg(radar, product_.productName());
    if (!text.isEmpty() && failing_) {
        text += QStringLiteral(" (") + reasons_ + QLatin1Char(')');
    }
    return text;
}

void ProductPoller::refresh(const QDateTime& now, std::function<void()> done) {
    if (!gate_.enter(now, upstreams_.askEverySeconds, std::move(done), !sources_.empty()))
        return;
    askedAt_ = now;
    clockNow_ = std::max(clockNow_, now);
    treeReason_.clear();
    archiveReason_.clear();
    unanswered_ = {};
    firstUnanswered_.clear();
    askProductTree(chosen_.value_or(0));
}

void ProductPoller::note(Upstream upstream, const FetchResult& result, const QString& reason) {
    lastAnswer_ = UpstreamAnswer{upstream, result.status, reason, askedAt_};
    const std::size_t which = upstream == Upstream::Tree ? 0 : 1;
    answers_[which] = lastAnswer_;
    if (result.outcome == FetchResult::Outcome::Failed && result.status == 0) {
        unanswered_[which] = true;
        if (firstUnanswered_.isEmpty())
            firstUnanswered_ = result.error.isEmpty() ? QStringLiteral("no reply") : result.error;
    }
}

void ProductPoller::askProductTree(std::size_t source) {
    fetcher_.get(productTreeUrl(source, QStringLiteral("sn.last")), lastModified_[source],
                 [this, source](const FetchResult& result) {
                     if (result.outcome == FetchResult::Outcome::NotModified) {
                         note(Upstream::Tree, result, QStringLiteral("the tree has nothing newer"));
                         finish(false);
                         return;
                     }
                     if (result.outcome == FetchResult::Outcome::Fetched) {
                         keep(result.body, source, Upstream::Tree,
                              [this, source, result](const std::optional<QString>& refused) {
                                  if (!refused) {
                                      lastModified_[source] = result.lastModified;
                                      note(Upstream::Tree, result, QStringLiteral("a scan"));
                                      finish(false);
                                      return;
                                  }
                                  treeReason_ = QStringLiteral("sn.last ") + *refused;
                                  treeFailed(source, result);
                              });
                         return;
                     }
                     treeReason_ = answerReason(QStringLiteral("tree"), result);
                     treeFailed(source, result);
                 });
}

void ProductPoller::treeFailed(std::size_t source, const FetchResult& result) {
    note(Upstream::Tree, result, treeReason_);
    // A product the tree does not carry for this radar: the next one that
    // stands for the same picture.
    if (result.status == 404 && !chosen_ && source + 1 < sources_.size()) {
        askProductTree(source + 1);
        return;
    }
    askArchive(chosen_.value_or(0), askedAt_.date(), false);
}

void ProductPoller::listArchiveDay(std::size_t source, const QDate& day, DayListed done,
                                   const QString& continuation, std::vector<QString> found,
                                   int page) {
    // A day of one product holds at most 1,440 scans; ten pages are plenty.
    constexpr int kMaxPages = 10;
    QString query = archiveListing(site_.code, sources_[source].awips, day);
    if (!continuation.isEmpty())
        query += QStringLiteral("&continuation-token=") +
                 QString::fromLatin1(QUrl::toPercentEncoding(continuation));
    fetcher_.get(upstreams_.archive.resolved(QUrl(query)), {},
                 [this, source, day, done = std::move(done), found = std::move(found),
                  page](const FetchResult& result) mutable {
                     if (result.outcome != FetchResult::Outcome::Fetched) {
                         done(page == 0 ? std::nullopt : std::optional(std::move(found)), result);
                         return;
                     }
                     const ArchiveListing listing = parseArchiveListing(result.body);
                     logSkippedKeys(listing.keys);
                     std::vector<ListingEntry> keys = listing.keys;
                     for (const QString& key : found)
                         keys.push_back({key, {}});
                     found = newestArchiveKeys(keys, ScanArchive::kKept);
                     if (listing.truncated && !listing.continuationToken.isEmpty() &&
                         page + 1 < kMaxPages) {
                         listArchiveDay(source, day, std::move(done), listing.continuationToken,
                                        std::move(found), page + 1);
                         return;
                     }
                     done(std::move(found), result);
                 });
}

void ProductPoller::logSkippedKeys(const std::vector<ListingEntry>& keys) {
    // A hostile listing may name ever new keys: a few are told, then no more.
    constexpr qsizetype kMostTold = 20;
    for (const ListingEntry& key : keys) {
        if (archiveKeyTime(key.name) || skippedKeys_.contains(key.name) ||
            skippedKeys_.size() >= kMostTold)
            continue;
        skippedKeys_.insert(key.name);
        if (upstreams_.log)
            upstreams_.log(where(chosen_.value_or(0)) +
                           QStringLiteral(": the archive lists a key that is no scan's name, "
                                          "skipped: ") +
                           key.name.left(200));
    }
}

void ProductPoller::askArchive(std::size_t source, const QDate& day, bool dayBefore) {
    listArchiveDay(source, day,
                   [this, source, day, dayBefore](std::optional<std::vector<QString>> newest,
                                                  const FetchResult& result) {
                       if (!newest) {
                           archiveReason_ = answerReason(QStringLiteral("archive"), result);
                           note(Upstream::Archive, result, archiveReason_);
                           finish(true);
                           return;
                       }
                       if (!newest->empty()) {
                           fetchArchiveKey(source, newest->front());
                           return;
                       }
                       // Just after midnight the day's folder may still be empty.
                       if (!dayBefore) {
                           askArchive(source, day.addDays(-1), true);
                           return;
                       }
                       if (!chosen_ && source + 1 < sources_.size()) {
                           askArchive(source + 1, askedAt_.date(), false);
                           return;
                       }
                       archiveReason_ = QStringLiteral("the archive has no scan of %1")
                                            .arg(askedAt_.date().toString(Qt::ISODate));
                       note(Upstream::Archive, result, archiveReason_);
                       finish(true);
                   });
}

void ProductPoller::fetchArchiveKey(std::size_t source, const QString& key) {
    fetcher_.get(archiveKeyUrl(key), {}, [this, source, key](const FetchResult& result) {
        if (result.outcome != FetchResult::Outcome::Fetched) {
            archiveReason_ =
                answerReason(QStringLiteral("archive"), result) + QStringLiteral(" for ") + key;
            note(Upstream::Archive, result, archiveReason_);
            finish(true);
            return;
        }
        keep(result.body, source, Upstream::Archive,
             [this, key, result](const std::optional<QString>& refused) {
                 if (!refused) {
                     note(Upstream::Archive, result, QStringLiteral("a scan"));
                     finish(false);
                     return;
                 }
                 archiveReason_ = QStringLiteral("the archive's %1 ").arg(key) + *refused;
                 note(Upstream::Archive, result, archiveReason_);
                 finish(true);
             });
    });
}

void ProductPoller::keep(const QByteArray& bytes, std::size_t source, Upstream from, Kept done) {
    offThread_.run([bytes] { return level3::decodeLevel3(bytes); },
                   [this, source, from, done = std::move(done)](level3::DecodeResult decoded) {
                       done(accept(std::move(decoded), source, from));
                   });
}

std::optional<QString> ProductPoller::accept(level3::DecodeResult decoded, std::size_t source,
                                             Upstream from) {
    if (auto* error = std::get_if<level3::DecodeError>(&decoded))
        return QStringLiteral("is not a Level III product: ") + level3::describe(*error);
    auto product =
        std::make_shared<const level3::Product>(std::get<level3::Product>(std::move(decoded)));
    // Only the product asked for, of the radar asked for.
    const level3::ProductCodeInfo* wanted =
        level3::productCodeInfo(QString(sources_[source].awips));
    if (wanted == nullptr || product->description.productCode != wanted->code)
        return QStringLiteral("is product %1, not %2")
            .arg(product->description.productCode)
            .arg(QString(sources_[source].awips));
    if (siteOfProduct(*product) != &site_)
        return QStringLiteral("is a product of the radar at %1, %2, not of %3")
            .arg(product->description.latitude, 0, 'f', 3)
            .arg(product->description.longitude, 0, 'f', 3)
            .arg(QString(site_.code).toUpper());
    // A scan dated ahead of the clock would stand as the newest for good.
    const QDateTime time = product->description.volumeScanTime;
    if (clockNow_.isValid() && time > clockNow_.addSecs(kAheadOfClockSeconds))
        return QStringLiteral("is dated %1, ahead of the clock").arg(time.toString(Qt::ISODate));
    chosen_ = source;
    const bool newer = !scans_.latest() || time > scans_.latest()->time;
    if (scans_.add({time, std::move(product)}) && newer)
        newestFrom_ = from;
    return std::nullopt;
}

void ProductPoller::finish(bool failed) {
    const QString previous = reasons_;
    if (failed) {
        reasons_ = treeReason_;
        if (!archiveReason_.isEmpty())
            reasons_ += (reasons_.isEmpty() ? QString() : QStringLiteral("; ")) + archiveReason_;
        lastError_ = where(chosen_.value_or(0)) + QStringLiteral(": ") + reasons_;
        unreachable_ = unanswered_[0] && unanswered_[1];
        if (unreachable_) {
            QString cause = firstUnanswered_;
            cause[0] = cause[0].toLower(); // "Host ... not found" mid-sentence
            watcherReason_ = QStringLiteral("The weather service could not be reached: ") + cause;
        } else {
            watcherReason_ =
                QStringLiteral("The weather service has no %1 of %2 now: %3")
                    .arg(product_.productName(), QString(site_.code).toUpper(), reasons_);
        }
    } else {
        lastError_.clear();
        reasons_.clear();
        unreachable_ = false;
        watcherReason_.clear();
    }
    if (upstreams_.log && failed != failing_) {
        upstreams_.log(failed ? lastError_
                              : where(chosen_.value_or(0)) +
                                    QStringLiteral(": the upstreams answer again (was: ") +
                                    previous + QLatin1Char(')'));
    }
    failing_ = failed;
    gate_.finish();
}

void ProductPoller::refreshLoop(const QDateTime& now, std::function<void()> done) {
    loopWaiting_.push_back(std::move(done));
    if (loopBusy_)
        return;
    if (sources_.empty() ||
        (loopAsked_.isValid() && loopAsked_.secsTo(now) < upstreams_.askEverySeconds)) {
        finishLoop();
        return;
    }
    loopBusy_ = true;
    loopAsked_ = now;
    clockNow_ = std::max(clockNow_, now);
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
                     fetchLoopFiles(std::move(wanted), Upstream::Tree);
                 });
}

void ProductPoller::listLoop(const QDate& day, bool dayBefore, std::vector<QString> found) {
    listArchiveDay(chosen_.value_or(0), day,
                   [this, day, dayBefore, found](std::optional<std::vector<QString>> newest,
                                                 const FetchResult&) mutable {
                       if (newest)
                           found.insert(found.end(), newest->begin(), newest->end());
                       // Early in the day the day before holds the rest of the ten.
                       if (found.size() < ScanArchive::kKept && !dayBefore) {
                           listLoop(day.addDays(-1), true, std::move(found));
                           return;
                       }
                       std::vector<QUrl> wanted;
                       for (const QString& key : found) {
                           if (!loopFetched_.contains(key)) {
                               loopFetched_.insert(key);
                               wanted.push_back(archiveKeyUrl(key));
                           }
                       }
                       fetchLoopFiles(std::move(wanted), Upstream::Archive);
                   });
}

void ProductPoller::fetchLoopFiles(std::vector<QUrl> files, Upstream from) {
    if (files.empty()) {
        finishLoop();
        return;
    }
    const QUrl next = files.back();
    files.pop_back();
    fetcher_.get(next, {},
                 [this, from, files = std::move(files)](const FetchResult& result) mutable {
                     if (result.outcome != FetchResult::Outcome::Fetched) {
                         fetchLoopFiles(std::move(files), from);
                         return;
                     }
                     keep(result.body, chosen_.value_or(0), from,
                          [this, from, files = std::move(files)](const std::optional<QString>&) {
                              fetchLoopFiles(files, from);
                          });
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
