#pragma once
// The navigate-error status a pane reports for a failed load, from what the
// browser engine says about the failure. Nothing for loads that were only
// stopped or replaced by another navigation, which are no errors.
#include <QWebEngineLoadingInfo>
#include <optional>

namespace nubivista::platform {

std::optional<quint32> navigateErrorStatus(QWebEngineLoadingInfo::ErrorDomain domain,
                                           int errorCode);

} // namespace nubivista::platform
