#pragma once
// The browser pane over Qt WebEngine. Every pane of a run shares one
// PaneProfile; create it, and the Internet layer whose front becomes the
// application proxy, before the first pane, and destroy the panes first.
#include "acquisition/platform/browser_pane.h"

#include <QPointer>

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWebEnginePage;
class QWebEngineView;

namespace nubivista::platform {

class PaneProfile;
class PanePage;

class WebEnginePane : public BrowserPane {
    Q_OBJECT
public:
    explicit WebEnginePane(PaneProfile& profile, QWidget* parent = nullptr);
    ~WebEnginePane() override;

    void navigate(const QUrl& address, const QString& targetFrame = {}) override;
    void refresh() override;
    void stop() override;
    QUrl currentAddress() const override;
    bool silent() const override { return silent_; }
    void setSilent(bool silent) override;
    bool openOwnWindow(const QUrl& address) override;

    QWebEnginePage* page() const;

private:
    friend class PanePage;
    bool acceptNavigation(const QUrl& address, bool isMainFrame);
    void requestNewWindow(const QUrl& address, QWebEngineNewWindowRequest* engineRequest);
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    // A window of the pane's own, shown, that closes with the program.
    WebEnginePane* makeOwnWindow();

    PaneProfile& profile_;
    QWebEngineView* view_ = nullptr;
    PanePage* page_ = nullptr;
    bool silent_ = false;
};

} // namespace nubivista::platform
