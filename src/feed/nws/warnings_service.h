#pragma once
// /warnings/<site>.json: the storm-based warnings in force whose polygons
// cross a radar's long-range picture, from the weather service's alerts of
// the states and marine areas that picture covers. One poller serves every
// radar with the same areas.
#include "feed/nws/alerts_poller.h"
#include "feed/picture/state_outlines.h"
#include "feed/server/request.h"
#include "radar/site_table.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace nubivista::feed::nws {

class WarningsService : public QObject {
    Q_OBJECT
public:
    WarningsService(Fetcher& fetcher, AlertsUpstream upstream, picture::StateOutlines states,
                    std::function<QDateTime()> now, QObject* parent = nullptr);

    static bool isWarningsPath(const QString& path);
    void reply(const server::RequestInfo& request, server::Responder respond);

    // How long a request waits for the API: a moment with warnings held,
    // longer with none (then 503 and why).
    void setWaits(int heldMs, int noneHeldMs) {
        heldWaitMs_ = heldMs;
        noneHeldWaitMs_ = noneHeldMs;
    }
    // In the order first asked, for the status page.
    const std::vector<const AlertsPoller*>& pollers() const { return askedOrder_; }

private:
    const QStringList& areasOf(const radar::SiteRow& site);
    AlertsPoller& poller(const QStringList& areas);
    void answer(const server::RequestInfo& request, const radar::SiteRow& site,
                const AlertsPoller& source, const server::Responder& respond);

    Fetcher& fetcher_;
    AlertsUpstream upstream_;
    picture::StateOutlines states_;
    std::function<QDateTime()> now_;
    int heldWaitMs_ = 500;
    int noneHeldWaitMs_ = 20'000;
    std::map<QString, QStringList> areasOfSite_; // worked out once a site
    std::map<QString, std::unique_ptr<AlertsPoller>> pollers_;
    std::vector<const AlertsPoller*> askedOrder_;
};

} // namespace nubivista::feed::nws
