#pragma once
// The browser profile every pane shares: private (nothing stored on disk),
// with Chromium's own HTTP cache off, so that every page and image passes
// the Internet layer's proxy front and lands in the layer's cache. It also
// holds the front's credentials, which the panes answer the proxy with.
#include "acquisition/platform/proxy_credentials.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QWebEngineProfile;

namespace nubivista::platform {

class PaneProfile : public QObject {
    Q_OBJECT
public:
    explicit PaneProfile(const ProxyCredentials& credentials, QObject* parent = nullptr);
    ~PaneProfile() override;

    QWebEngineProfile* profile() const { return profile_; }
    const ProxyCredentials& credentials() const { return credentials_; }

    // Windows that panes open on their own; they close before the profile goes.
    void adoptWindow(QWidget* window) { windows_.append(window); }

private:
    ProxyCredentials credentials_;
    QWebEngineProfile* profile_ = nullptr;
    QList<QPointer<QWidget>> windows_;
};

} // namespace nubivista::platform
