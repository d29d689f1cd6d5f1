#include "acquisition/platform/pane_profile.h"

#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace nubivista::platform {

PaneProfile::PaneProfile(const ProxyCredentials& credentials, QObject* parent)
    : QObject(parent), credentials_(credentials) {
    profile_ = new QWebEngineProfile(this); // no storage name: off the record
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    // The panes show radar pages and the program's own: no spelling to check,
    // no PDF to view, no plugins.
    profile_->setSpellCheckEnabled(false);
    profile_->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    profile_->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
}

PaneProfile::~PaneProfile() {
    for (const QPointer<QWidget>& window : windows_)
        delete window.data();
}

} // namespace nubivista::platform
