#include "acquisition/platform/pane_profile.h"

#include <QWebEngineProfile>

namespace nubivista::platform {

PaneProfile::PaneProfile(const ProxyCredentials& credentials, QObject* parent)
    : QObject(parent), credentials_(credentials) {
    profile_ = new QWebEngineProfile(this); // no storage name: off the record
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
}

PaneProfile::~PaneProfile() {
    for (const QPointer<QWidget>& window : windows_)
        delete window.data();
}

} // namespace nubivista::platform
