#include "feed/nws/alerts_poller.h"

#include <QUrlQuery>
#include <utility>

namespace nubivista::feed::nws {

AlertsPoller::AlertsPoller(Fetcher& fetcher, AlertsUpstream upstream, QStringList areas,
                           QObject* parent)
    : QObject(parent),
      fetcher_(fetcher),
      upstream_(std::move(upstream)),
      areas_(std::move(areas)) {}

QUrl AlertsPoller::url() const {
    QUrl url = upstream_.base.resolved(QUrl(QStringLiteral("alerts/active")));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("status"), QStringLiteral("actual"));
    query.addQueryItem(QStringLiteral("area"), areas_.join(QLatin1Char(',')));
    url.setQuery(query);
    return url;
}

QDateTime AlertsPoller::nextAsk() const {
    return gate_.lastAsked().isValid() ? gate_.lastAsked().addSecs(upstream_.askEverySeconds)
                                       : QDateTime();
}

std::vector<Warning> AlertsPoller::warnings(const QDateTime& now) const {
    std::vector<Warning> inForce;
    for (const Warning& warning : held_)
        if (warning.expires > now)
            inForce.push_back(warning);
    return inForce;
}

void AlertsPoller::refresh(const QDateTime& now, std::function<void()> done) {
    if (!gate_.enter(now, upstream_.askEverySeconds, std::move(done)))
        return;
    // The API answers GeoJSON when asked for it; its terms ask for a
    // User-Agent with a contact, which the fetcher gives.
    fetcher_.get(
        url(), {},
        [this, now](const FetchResult& result) {
            if (result.outcome != FetchResult::Outcome::Fetched) {
                finish(result.status != 0
                           ? QStringLiteral("the alerts API answered %1").arg(result.status)
                           : QStringLiteral("the alerts API did not answer: %1")
                                 .arg(result.error.isEmpty() ? QStringLiteral("no reply")
                                                             : result.error),
                       result.status, result.status != 0);
                return;
            }
            // A few megabytes of JSON are read off the thread that answers.
            offThread_.run(
                [body = result.body, now]() -> std::variant<std::vector<Warning>, QString> {
                    auto alerts = parseAlerts(body);
                    if (auto* error = std::get_if<QString>(&alerts))
                        return *error;
                    return warningsInForce(std::get<std::vector<Warning>>(std::move(alerts)), now);
                },
                [this, now,
                 status = result.status](std::variant<std::vector<Warning>, QString> parsed) {
                    if (auto* error = std::get_if<QString>(&parsed)) {
                        finish(QStringLiteral("the alerts API's answer ") + *error, status, true);
                        return;
                    }
                    held_ = std::get<std::vector<Warning>>(std::move(parsed));
                    fetched_ = now;
                    finish(std::nullopt, status, true);
                });
        },
        {{"Accept", "application/geo+json"}});
}

void AlertsPoller::finish(const std::optional<QString>& error, int status, bool answered) {
    lastStatus_ = status;
    const QString previous = lastError_;
    const QString where = areas_.join(QLatin1Char(','));
    if (error) {
        lastError_ = QStringLiteral("warnings of %1: ").arg(where) + *error;
        watcherReason_ =
            answered ? QStringLiteral("The weather service has no warnings of %1 now: %2")
                           .arg(where, *error)
                     : QStringLiteral("The weather service's alerts could not be reached: %1")
                           .arg(*error);
    } else {
        lastError_.clear();
        watcherReason_.clear();
    }
    if (upstream_.log && error.has_value() != failing_)
        upstream_.log(error ? lastError_
                            : QStringLiteral("warnings of %1: the alerts API answers again "
                                             "(was: %2)")
                                  .arg(where, previous));
    failing_ = error.has_value();
    gate_.finish();
}

} // namespace nubivista::feed::nws
