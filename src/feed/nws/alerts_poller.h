#pragma once
// Keeps the storm-based warnings of one set of alert areas ("IL,MO") up to
// date from the weather service's alerts API: asked only when asked, at most
// once in askEverySeconds, and through trouble upstream the warnings it has
// are kept until each expires. It remembers what the API last answered and
// why, for the status page.
#include "feed/nws/alerts.h"
#include "feed/nws/ask_gate.h"
#include "feed/nws/fetcher.h"
#include "feed/nws/off_thread.h"

#include <QDateTime>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <vector>

namespace nubivista::feed::nws {

struct AlertsUpstream {
    QUrl base; // "https://api.weather.gov/"
    qint64 askEverySeconds = 60;
    // Where a fault is told, once when it starts and once when it clears.
    std::function<void(const QString&)> log = {};
};

class AlertsPoller : public QObject {
    Q_OBJECT
public:
    AlertsPoller(Fetcher& fetcher, AlertsUpstream upstream, QStringList areas,
                 QObject* parent = nullptr);

    // Brings the warnings up to date; done runs when that is finished, at
    // once when the API was asked less than askEverySeconds ago.
    void refresh(const QDateTime& now, std::function<void()> done);

    // The warnings in force at now of the last good answer.
    std::vector<Warning> warnings(const QDateTime& now) const;
    // When the last good answer came; invalid before the first.
    QDateTime fetched() const { return fetched_; }
    bool refreshing() const { return gate_.busy(); }
    // The last ask failed: "the alerts API answered 503".
    bool failing() const { return failing_; }
    QString lastError() const { return lastError_; }
    // Why, in a watcher's words; empty while the API answers.
    QString watcherReason() const { return watcherReason_; }
    int lastStatus() const { return lastStatus_; } // 0: no answer
    QDateTime lastAsked() const { return gate_.lastAsked(); }
    QDateTime nextAsk() const;
    const QStringList& areas() const { return areas_; }
    QUrl url() const;

private:
    void finish(const std::optional<QString>& error, int status, bool answered);

    Fetcher& fetcher_;
    AlertsUpstream upstream_;
    QStringList areas_;
    std::vector<Warning> held_; // storm-based, with a polygon; the picture filters them
    QDateTime fetched_;
    bool failing_ = false;
    QString lastError_;
    QString watcherReason_;
    int lastStatus_ = 0;
    AskGate gate_;
    OffThread offThread_; // last: its work's answers end with it
};

} // namespace nubivista::feed::nws
