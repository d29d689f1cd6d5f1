#include "feed/nws/warnings_service.h"

#include "feed/nws/alert_areas.h"
#include "feed/nws/warnings_json.h"
#include "feed/server/answers.h"

#include <QRegularExpression>
#include <QTimer>
#include <utility>

namespace nubivista::feed::nws {

namespace {

const QRegularExpression& warningsForm() {
    static const QRegularExpression form(QStringLiteral("^/warnings/([a-z0-9]{4})\\.json$"));
    return form;
}

server::Reply jsonReply(const server::RequestInfo& request, const QByteArray& body) {
    server::Reply reply;
    reply.body = body;
    // The list changes as warnings expire, whenever the API was last asked.
    reply.headers.emplace_back("Cache-Control", "no-store");
    reply.headers.emplace_back("Content-Type", "application/json");
    if (request.method == "HEAD")
        reply.sendBody = false;
    return reply;
}

} // namespace

WarningsService::WarningsService(Fetcher& fetcher, AlertsUpstream upstream,
                                 picture::StateOutlines states, std::function<QDateTime()> now,
                                 QObject* parent)
    : QObject(parent),
      fetcher_(fetcher),
      upstream_(std::move(upstream)),
      states_(std::move(states)),
      now_(std::move(now)) {}

bool WarningsService::isWarningsPath(const QString& path) {
    return path.startsWith(QLatin1String("/warnings/"));
}

const QStringList& WarningsService::areasOf(const radar::SiteRow& site) {
    const QString code(site.code);
    auto found = areasOfSite_.find(code);
    if (found == areasOfSite_.end())
        found = areasOfSite_.emplace(code, alertAreasOf(site, states_)).first;
    return found->second;
}

AlertsPoller& WarningsService::poller(const QStringList& areas) {
    std::unique_ptr<AlertsPoller>& slot = pollers_[areas.join(QLatin1Char(','))];
    if (!slot) {
        slot = std::make_unique<AlertsPoller>(fetcher_, upstream_, areas);
        askedOrder_.push_back(slot.get());
    }
    return *slot;
}

void WarningsService::reply(const server::RequestInfo& request, server::Responder respond) {
    const QRegularExpressionMatch match = warningsForm().match(request.path);
    const radar::SiteRow* site = match.hasMatch() ? radar::FindSite(match.captured(1)) : nullptr;
    if (site == nullptr) {
        respond(server::errorReply(404, QStringLiteral("the feed has no page at this address")));
        return;
    }
    if (states_.empty()) {
        respond(server::errorReply(
            503, QStringLiteral("The feed has no state outlines, so it cannot ask for warnings")));
        return;
    }
    const QStringList& areas = areasOf(*site);
    // A radar beyond every state and marine area: no warning can cross it.
    if (areas.isEmpty()) {
        respond(jsonReply(request, warningsJson(*site, {}, {}, QStringLiteral("api"))));
        return;
    }
    // As for the pictures: held warnings give the API a moment and are then
    // answered; with none held the answer waits, though not for ever.
    AlertsPoller& source = poller(areas);
    auto answered = std::make_shared<bool>(false);
    const auto answerOnce = [this, request, respond, site, &source, answered] {
        if (!std::exchange(*answered, true))
            answer(request, *site, source, respond);
    };
    QTimer::singleShot(source.fetched().isValid() ? heldWaitMs_ : noneHeldWaitMs_, this,
                       answerOnce);
    source.refresh(now_(), answerOnce);
}

void WarningsService::answer(const server::RequestInfo& request, const radar::SiteRow& site,
                             const AlertsPoller& source, const server::Responder& respond) {
    if (!source.fetched().isValid()) {
        const QString where = source.areas().join(QStringLiteral(", "));
        if (source.refreshing())
            respond(server::errorReply(
                503,
                QStringLiteral("The weather service has not answered for the warnings of %1 "
                               "within %2 s")
                    .arg(where)
                    .arg(noneHeldWaitMs_ / 1000.0),
                source.lastError()));
        else
            respond(server::errorReply(503, source.watcherReason(), source.lastError()));
        return;
    }
    const QDateTime now = now_();
    std::vector<Warning> onPicture;
    for (Warning& warning : source.warnings(now))
        if (crossesLongRangePicture(site, warning.polygon))
            onPicture.push_back(std::move(warning));
    respond(
        jsonReply(request, warningsJson(site, source.fetched(), onPicture, QStringLiteral("api"))));
}

} // namespace nubivista::feed::nws
