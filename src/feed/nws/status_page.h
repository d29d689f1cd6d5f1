#pragma once
// The feed's own account of itself, for a person (/status) and for scripts
// (/status.json): every site and product asked for since start, the Level
// III product in use, where the newest scan came from and how old it is, what
// the upstreams last answered and why, and when they will be asked again.
#include "feed/nws/alerts_poller.h"
#include "feed/nws/product_poller.h"

#include <QByteArray>
#include <QDateTime>
#include <vector>

namespace nubivista::feed::nws {

struct FeedState {
    QDateTime now; // UTC
    qint64 uptimeSeconds = 0;
    qint64 cacheBytes = 0; // drawn pictures kept
    std::vector<const ProductPoller*> products;
    std::vector<const AlertsPoller*> warnings = {}; // each set of alert areas asked for
};

// Whether the weather service answered the feed's latest ask: false when
// neither upstream answered at all, as without a network.
bool weatherServiceReachable(const FeedState& state);

QByteArray statusJson(const FeedState& state);
QByteArray statusHtml(const FeedState& state);

} // namespace nubivista::feed::nws
