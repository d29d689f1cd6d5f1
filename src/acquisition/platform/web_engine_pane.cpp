#include "acquisition/platform/web_engine_pane.h"

#include "acquisition/platform/navigate_error.h"
#include "acquisition/platform/pane_profile.h"

#include <QAuthenticator>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace nubivista::platform {

namespace {
// Default size of a window a page opens when no one takes its request.
constexpr QSize OwnWindowSize(800, 600);
} // namespace

// The page hands its navigation decisions and script dialogs to the pane.
class PanePage : public QWebEnginePage {
public:
    PanePage(QWebEngineProfile* profile, WebEnginePane& pane)
        : QWebEnginePage(profile, &pane), pane_(pane) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        return pane_.acceptNavigation(url, isMainFrame);
    }
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        if (!pane_.silent())
            QWebEnginePage::javaScriptAlert(origin, message);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        return !pane_.silent() && QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value,
                          QString* result) override {
        return !pane_.silent() && QWebEnginePage::javaScriptPrompt(origin, message, value, result);
    }

private:
    WebEnginePane& pane_;
};

WebEnginePane::WebEnginePane(PaneProfile& profile, QWidget* parent)
    : BrowserPane(parent), profile_(profile) {
    view_ = new QWebEngineView(this);
    page_ = new PanePage(profile.profile(), *this);
    view_->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(page_, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl&, QAuthenticator* authenticator, const QString&) {
                authenticator->setUser(profile_.credentials().user);
                authenticator->setPassword(profile_.credentials().password);
            });
    connect(page_, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
                requestNewWindow(request.requestedUrl(), &request);
            });
    connect(page_, &QWebEnginePage::loadStarted, this, &BrowserPane::downloadBegin);
    connect(page_, &QWebEnginePage::loadProgress, this,
            [this](int percent) { emit progressChange(percent, 100); });
    connect(page_, &QWebEnginePage::linkHovered, this,
            [this](const QString& link) { emit statusTextChange(link); });
    connect(page_, &QWebEnginePage::titleChanged, this, &BrowserPane::titleChange);
    connect(page_, &QWebEnginePage::urlChanged, this, &BrowserPane::navigateComplete);
    connect(page_, &QWebEnginePage::loadingChanged, this, &WebEnginePane::onLoadingChanged);
}

WebEnginePane::~WebEnginePane() {
    // The page goes before the view that shows it.
    view_->setPage(nullptr);
    delete page_;
}

QWebEnginePage* WebEnginePane::page() const {
    return page_;
}

void WebEnginePane::navigate(const QUrl& address, const QString& targetFrame) {
    if (targetFrame.compare(QLatin1String("_blank"), Qt::CaseInsensitive) == 0) {
        requestNewWindow(address, nullptr);
        return;
    }
    page_->load(address);
}

void WebEnginePane::refresh() {
    // Bypassing the engine's caches makes every image a request with
    // no-cache, which the front answers from the server.
    page_->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

void WebEnginePane::stop() {
    page_->triggerAction(QWebEnginePage::Stop);
}

QUrl WebEnginePane::currentAddress() const {
    return page_->url();
}

void WebEnginePane::setSilent(bool silent) {
    silent_ = silent;
    page_->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, !silent);
}

bool WebEnginePane::acceptNavigation(const QUrl& address, bool isMainFrame) {
    if (!isMainFrame)
        return true;
    bool cancel = false;
    emit beforeNavigate(address, cancel);
    return !cancel;
}

void WebEnginePane::requestNewWindow(const QUrl& address,
                                     QWebEngineNewWindowRequest* engineRequest) {
    NewWindowRequest request{address};
    emit newWindowRequested(request);
    if (request.cancel)
        return;
    if (request.openIn) {
        auto* target = qobject_cast<WebEnginePane*>(request.openIn);
        if (target && engineRequest)
            engineRequest->openIn(target->page());
        else
            request.openIn->navigate(address);
        return;
    }
    // No one took the request: the pane opens a window of its own.
    WebEnginePane* window = makeOwnWindow();
    if (engineRequest)
        engineRequest->openIn(window->page());
    else
        window->navigate(address);
}

bool WebEnginePane::openOwnWindow(const QUrl& address) {
    makeOwnWindow()->navigate(address);
    return true;
}

WebEnginePane* WebEnginePane::makeOwnWindow() {
    // The profile keeps the window and closes it before the engine goes.
    auto* window = new WebEnginePane(profile_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // A page left open must not keep the program running once the main
    // window has closed.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    profile_.adoptWindow(window);
    connect(window, &BrowserPane::titleChange, window, &QWidget::setWindowTitle);
    window->resize(OwnWindowSize);
    window->show();
    return window;
}

void WebEnginePane::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        return;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (const auto status = navigateErrorStatus(info.errorDomain(), info.errorCode()))
            emit navigateError(info.url(), *status);
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        break;
    }
    emit progressChange(-1, 100);
    emit statusTextChange(QStringLiteral("Done"));
    emit downloadComplete();
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
        emit documentComplete(info.url());
}

} // namespace nubivista::platform
