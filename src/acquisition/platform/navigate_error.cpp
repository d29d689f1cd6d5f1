#include "acquisition/platform/navigate_error.h"

#include "acquisition/platform/browser_pane.h"
#include "acquisition/platform/proxy_rules.h"

namespace nubivista::platform {

namespace {
// Chromium's network error numbers used here.
constexpr int NetAborted = -3;
constexpr int NetFileNotFound = -6;
} // namespace

std::optional<quint32> navigateErrorStatus(QWebEngineLoadingInfo::ErrorDomain domain,
                                           int errorCode) {
    using D = QWebEngineLoadingInfo::ErrorDomain;
    switch (domain) {
    case D::NoErrorDomain:
        return std::nullopt;
    case D::HttpStatusCodeDomain:
        // Every pane request passes the layer's proxy front, whose 504 means
        // the host cannot be reached or, offline, the address is not cached.
        if (errorCode == FrontUnreachableStatus)
            return ResourceNotFoundStatus;
        return static_cast<quint32>(errorCode);
    case D::ConnectionErrorDomain:
    case D::DnsErrorDomain:
        return ResourceNotFoundStatus;
    case D::InternalErrorDomain:
        if (errorCode == NetAborted)
            return std::nullopt;
        if (errorCode == NetFileNotFound)
            return ResourceNotFoundStatus;
        return DownloadFailureStatus;
    default:
        return DownloadFailureStatus;
    }
}

} // namespace nubivista::platform
