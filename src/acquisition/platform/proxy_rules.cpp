#include "acquisition/platform/proxy_rules.h"

namespace nubivista::platform {

namespace {

bool hasDirective(const QByteArray& headerValue, const QByteArray& directive) {
    const auto parts = headerValue.toLower().split(',');
    for (const QByteArray& part : parts) {
        QByteArray item = part.trimmed();
        item.replace(' ', "");
        if (item == directive)
            return true;
    }
    return false;
}

} // namespace

QUrl normalizedAddress(const QUrl& address) {
    QUrl url = address.adjusted(QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    const QString scheme = url.scheme().toLower();
    if ((scheme == QLatin1String("http") && url.port() == 80) ||
        (scheme == QLatin1String("https") && url.port() == 443))
        url.setPort(-1);
    return url;
}

std::optional<QUrl> proxyTargetAddress(const QUrl& requestUrl, const QByteArray& hostHeader) {
    QUrl url = requestUrl;
    if (url.scheme().isEmpty())
        url.setScheme(QStringLiteral("http"));
    const QByteArray host = hostHeader.trimmed();
    if (!host.isEmpty()) {
        // "name", "name:port" or "[v6]:port"; QUrl parses the authority.
        const QUrl authority = QUrl(QStringLiteral("http://") + QString::fromLatin1(host) + u'/');
        if (!authority.isValid() || authority.host().isEmpty())
            return std::nullopt;
        url.setHost(authority.host());
        url.setPort(authority.port());
    } else if (url.port() == 0) {
        url.setPort(-1);
    }
    if (url.host().isEmpty() || !url.isValid())
        return std::nullopt;
    return normalizedAddress(url);
}

bool isHopByHopHeader(const QByteArray& name) {
    static const QByteArray names[] = {"connection",
                                       "keep-alive",
                                       "proxy-authenticate",
                                       "proxy-authorization",
                                       "proxy-connection",
                                       "te",
                                       "trailer",
                                       "transfer-encoding",
                                       "upgrade"};
    const QByteArray lower = name.toLower();
    for (const QByteArray& n : names)
        if (lower == n)
            return true;
    return false;
}

QNetworkRequest::CacheLoadControl paneCacheLoadControl(const HeaderPairs& requestHeaders,
                                                       bool offline) {
    if (offline)
        return QNetworkRequest::AlwaysCache;
    for (const auto& [name, value] : requestHeaders) {
        const QByteArray lower = name.toLower();
        if ((lower == "cache-control" &&
             (hasDirective(value, "no-cache") || hasDirective(value, "max-age=0"))) ||
            (lower == "pragma" && hasDirective(value, "no-cache")))
            return QNetworkRequest::AlwaysNetwork;
    }
    return QNetworkRequest::PreferNetwork;
}

HeaderPairs upstreamRequestHeaders(const HeaderPairs& paneHeaders) {
    HeaderPairs out;
    for (const auto& header : paneHeaders) {
        const QByteArray lower = header.first.toLower();
        if (isHopByHopHeader(lower) || lower == "host" || lower == "content-length" ||
            lower == "accept-encoding" || lower == "if-modified-since" ||
            lower == "if-none-match" || lower == "if-range" || lower == "if-match" ||
            lower == "if-unmodified-since")
            continue;
        out.append(header);
    }
    return out;
}

void askForPlainBody(QNetworkRequest& request) {
    request.setRawHeader("Accept-Encoding", "identity");
}

HeaderPairs paneResponseHeaders(const HeaderPairs& upstreamHeaders) {
    HeaderPairs out;
    for (const auto& header : upstreamHeaders) {
        const QByteArray lower = header.first.toLower();
        if (isHopByHopHeader(lower) || lower == "content-length")
            continue;
        out.append(header);
    }
    return out;
}

int paneStatusFor(const UpstreamOutcome& outcome) {
    using E = QNetworkReply::NetworkError;
    if (outcome.httpStatus > 0) {
        // A body that stopped short is no answer at all.
        if (outcome.error == E::RemoteHostClosedError ||
            outcome.error == E::OperationCanceledError || outcome.error == E::TimeoutError)
            return FrontUpstreamFailedStatus;
        return outcome.httpStatus == FrontUnreachableStatus ? FrontUpstreamFailedStatus
                                                            : outcome.httpStatus;
    }
    if (outcome.offline)
        return FrontUnreachableStatus;
    if (outcome.feedDown)
        return FrontUpstreamFailedStatus;
    switch (outcome.error) {
    case E::HostNotFoundError:
    case E::ConnectionRefusedError:
    case E::RemoteHostClosedError:
    case E::ProxyNotFoundError:
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
    case E::NetworkSessionFailedError:
    case E::TemporaryNetworkFailureError:
    case E::UnknownNetworkError:
        return FrontUnreachableStatus;
    default:
        return FrontUpstreamFailedStatus;
    }
}

} // namespace nubivista::platform
