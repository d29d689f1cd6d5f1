#pragma once
// The status bar's word on a running process whose newest image has grown
// old: its age, and why when the feed knows ("KLSX has published nothing since
// 18:59 UTC"). Timer2's tick brings the process as it is; while the image is
// stale the feed's status is asked at most once a minute, without waiting for
// the answer, and any failure of that request only leaves the reason out.
#include "acquisition/platform/internet_service.h"
#include "core/clock.h"
#include "core/ole_date.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class QLabel;

namespace nubivista::acquisition {

class StaleImageNotice : public QObject {
    Q_OBJECT
public:
    // The feed's answer is given up after this long.
    static constexpr int kFeedTimeoutMs = 5000;
    // The feed is asked no more often than this while the image stays stale.
    static constexpr int kAskEveryMs = 60000;

    // What the notice reads of a running process at a tick.
    struct Process {
        std::optional<core::OleDate> newestUtc; // the newest slot's time
        int refreshIntervalMinutes = 6;
        QString siteCode;    // "klsx"
        QString productCode; // "DS.p19r0"
        QString paneUrl;     // the feed answers on its host
        bool toolTips = true;
    };

    // Shows its text in panel, which it keeps to itself.
    StaleImageNotice(QLabel& panel, platform::InternetService& internet, const core::Clock& clock,
                     QObject* parent = nullptr);

    // A tick while a process runs (RefreshState 1).
    void update(const Process& process);
    // A new image came, or the process ended: the notice goes, and what the
    // feed said (or is still to say) counts for nothing.
    void reset();

private:
    void askFeed(const Process& process);
    void show();

    QLabel& panel_;
    platform::InternetService& internet_;
    const core::Clock& clock_;

    QString askedFor_; // site and product the summary is about
    QString summary_;
    std::optional<std::int32_t> lastAskTick_;
    bool asking_ = false;
    std::uint64_t round_ = 0; // a reset starts a new round
    // What the text was made from at the last tick.
    std::int64_t ageSeconds_ = 0;
    int refreshIntervalMinutes_ = 6;
    bool toolTips_ = true;
    bool shown_ = false;
};

} // namespace nubivista::acquisition
