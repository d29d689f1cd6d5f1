#pragma once
// The decisions of the proxy front that need no sockets: which address a
// request names, which cache rule serves it, which headers pass, and which
// status the panes see when the layer could not fetch the address.
#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPair>
#include <QUrl>
#include <optional>

namespace nubivista::platform {

using HeaderPairs = QList<QPair<QByteArray, QByteArray>>;

// Statuses the front itself answers with. 504 is kept for one meaning: the
// address cannot be reached (no such host, refused, closed at once) or,
// offline, is not cached. Panes report it as "resource not found". Every other
// failure of the upstream fetch is 502, and an upstream 504 passes as 502 so
// that the two never mix.
inline constexpr int FrontUnreachableStatus = 504;
inline constexpr int FrontUpstreamFailedStatus = 502;

// The same address in the one form the cache keys on: no fragment, no user
// information, no explicit default port.
QUrl normalizedAddress(const QUrl& address);

// The absolute address a proxy request names. Absolute-form requests reach the
// server with port 0 in url(), so host and port come from the Host header.
// Nothing when no host can be found.
std::optional<QUrl> proxyTargetAddress(const QUrl& requestUrl, const QByteArray& hostHeader);

// True for headers that belong to one connection and never pass a proxy.
bool isHopByHopHeader(const QByteArray& name);

// How a pane's GET or HEAD is served from the layer's cache: offline only from
// the cache; a reload (no-cache or max-age=0) always from the server, so the
// cache then holds the server's current copy; otherwise by HTTP freshness.
QNetworkRequest::CacheLoadControl paneCacheLoadControl(const HeaderPairs& requestHeaders,
                                                       bool offline);

// Request headers passed on to the server: no hop-by-hop ones, no proxy
// credentials, no conditionals (the layer's cache makes its own) and no
// Accept-Encoding (the layer asks for plain bodies, see askForPlainBody).
HeaderPairs upstreamRequestHeaders(const HeaderPairs& paneHeaders);

// Asks the server for the body as it is, without compression. The network
// access manager does not cache a body it has to decode, and every body the
// layer fetches must land in its cache.
void askForPlainBody(QNetworkRequest& request);

// Response headers passed back to the pane: no hop-by-hop ones, and no length,
// since the front sends the body whole with its own length.
HeaderPairs paneResponseHeaders(const HeaderPairs& upstreamHeaders);

struct UpstreamOutcome {
    int httpStatus = 0; // 0 when no response arrived
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    bool offline = false;
    // The address is the feed's and the feed is not running: no answer is
    // the feed's fault, not a missing page.
    bool feedDown = false;
};

// The status the front answers a pane with, for a finished upstream fetch.
int paneStatusFor(const UpstreamOutcome& outcome);

} // namespace nubivista::platform
