#include "acquisition/stale_image_notice.h"

#include "acquisition/count_down.h"
#include "acquisition/feed_status.h"

#include <QLabel>

namespace nubivista::acquisition {

StaleImageNotice::StaleImageNotice(QLabel& panel, platform::InternetService& internet,
                                   const core::Clock& clock, QObject* parent)
    : QObject(parent), panel_(panel), internet_(internet), clock_(clock) {}

void StaleImageNotice::update(const Process& process) {
    const std::optional<std::int64_t> age =
        process.newestUtc ? imageAgeSeconds(*process.newestUtc, clock_.now()) : std::nullopt;
    if (!age || !imageIsStale(*age, process.refreshIntervalMinutes)) {
        reset();
        return;
    }
    ageSeconds_ = *age;
    refreshIntervalMinutes_ = process.refreshIntervalMinutes;
    toolTips_ = process.toolTips;
    const QString about = process.siteCode + u' ' + process.productCode;
    if (about != askedFor_) {
        // Another process: what the feed said was about the last one.
        ++round_;
        asking_ = false;
        summary_.clear();
        lastAskTick_.reset();
        askedFor_ = about;
    }
    if (!asking_ && (!lastAskTick_ ||
                     elapsedSinceMinuteStart(clock_.tickCount(), *lastAskTick_) >= kAskEveryMs))
        askFeed(process);
    show();
}

void StaleImageNotice::reset() {
    if (!shown_ && askedFor_.isEmpty())
        return;
    ++round_;
    asking_ = false;
    summary_.clear();
    askedFor_.clear();
    lastAskTick_.reset();
    if (shown_) {
        panel_.clear();
        panel_.setToolTip({});
        shown_ = false;
    }
}

void StaleImageNotice::askFeed(const Process& process) {
    asking_ = true;
    lastAskTick_ = clock_.tickCount();
    const std::uint64_t round = round_;
    const QString site = process.siteCode;
    const QString product = process.productCode;
    internet_.fetchFresh(feedPageAddress(process.paneUrl, QLatin1String(kFeedStatusJsonPath)),
                         kFeedTimeoutMs, this,
                         [this, round, site, product](std::optional<QByteArray> body) {
                             if (round != round_)
                                 return;
                             asking_ = false;
                             summary_ = body ? feedSummary(*body, site, product) : QString();
                             if (shown_)
                                 show();
                         });
}

void StaleImageNotice::show() {
    const QString text = staleImageText(ageSeconds_, refreshIntervalMinutes_, summary_);
    if (panel_.text() != text)
        panel_.setText(text);
    // The panel gives way to the others in a narrow window; its tooltip
    // still holds the whole text.
    panel_.setToolTip(toolTips_ ? text : QString());
    shown_ = !text.isEmpty();
}

} // namespace nubivista::acquisition
