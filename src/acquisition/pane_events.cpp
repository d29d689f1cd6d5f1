// The events of the two browser panes: the silent switch while a page loads,
// progress and status in the status bar, new windows, the loaded pages that
// move the process on, and navigation errors with the national-map fallback.
#include "acquisition/process_texts.h"
#include "acquisition/refresh_process.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "core/press_button.h"
#include "radar/addresses.h"

#include <QLabel>
#include <QProgressBar>

namespace nubivista::acquisition {

namespace {

QString navigateErrorText() {
    return QStringLiteral("\r\n\r\nBrowser Navigate Error or Time-Out...\r\n"
                          "Process Will Be Shut-Down.\r\n"
                          "Then, You Can Use The Map To Navigate\r\n"
                          "And Start A New Process.");
}

constexpr int kMapRetryLimit = 4;

} // namespace

void RefreshProcess::connectPanes() {
    platform::BrowserPane* const image = panes_.WebBrowser1;
    platform::BrowserPane* const map = panes_.WebBrowser2;
    using platform::BrowserPane;

    for (BrowserPane* pane : {image, map}) {
        const int number = pane == image ? 1 : 2;
        connect(pane, &BrowserPane::downloadBegin, this, [this, pane] { paneDownloadBegin(pane); });
        connect(pane, &BrowserPane::progressChange, this,
                [this, number](int progress, int maximum) {
                    paneProgressChange(number, progress, maximum);
                });
        connect(pane, &BrowserPane::statusTextChange, this, &RefreshProcess::paneStatusTextChange);
    }

    connect(image, &BrowserPane::documentComplete, this, [this, image](const QUrl& address) {
        paneDocumentComplete(image);
        WebBrowser1_DocumentComplete(address);
    });
    connect(image, &BrowserPane::downloadComplete, this,
            &RefreshProcess::WebBrowser1_DownloadComplete);
    connect(image, &BrowserPane::navigateError, this, &RefreshProcess::WebBrowser1_NavigateError);
    connect(image, &BrowserPane::newWindowRequested, this, &RefreshProcess::WebBrowser1_NewWindow2);

    connect(map, &BrowserPane::beforeNavigate, this, &RefreshProcess::WebBrowser2_BeforeNavigate2);
    connect(map, &BrowserPane::documentComplete, this, [this, map](const QUrl& address) {
        paneDocumentComplete(map);
        WebBrowser2_DocumentComplete(address);
    });
    connect(map, &BrowserPane::navigateError, this, &RefreshProcess::WebBrowser2_NavigateError);
    connect(map, &BrowserPane::newWindowRequested, this, &RefreshProcess::WebBrowser2_NewWindow2);
}

// ---- both panes ----

void RefreshProcess::paneDownloadBegin(platform::BrowserPane* pane) {
    // No script or error dialogs while a page loads unattended.
    pane->setSilent(true);
}

void RefreshProcess::paneDocumentComplete(platform::BrowserPane* pane) {
    if (pane->silent())
        pane->setSilent(false);
}

void RefreshProcess::paneProgressChange(int paneNumber, int progress, int maximum) {
    QProgressBar* bar = shell_.ProgressBar1();
    QLabel* panel2 = shell_.statusPanel(2);
    if (progress < 1) {
        bar->hide();
        bar->setValue(0);
        panel2->clear();
        return;
    }
    bar->show();
    panel2->setText(QString::number(paneNumber));
    const int limit = std::max(1, maximum);
    bar->setMaximum(limit);
    bar->setValue(std::min(progress, limit));
}

void RefreshProcess::paneStatusTextChange(const QString& text) {
    QLabel* panel1 = shell_.statusPanel(1);
    if (text.compare(QLatin1String("done"), Qt::CaseInsensitive) == 0)
        panel1->clear();
    else
        panel1->setText(text);
}

// ---- the image-page pane ----

void RefreshProcess::WebBrowser1_NewWindow2(platform::NewWindowRequest& request) {
    // The radar pages' scripted popups never open.
    request.cancel = true;
}

void RefreshProcess::WebBrowser1_DocumentComplete(const QUrl& address) {
    const std::int16_t refreshState = state_.RefreshState;
    if (refreshState != refresh_state::LoopPageLoading &&
        refreshState != refresh_state::BackDatedRestart)
        return;
    if (!sameAddress(address, PaneUrl()))
        return;
    // The loop page has loaded, and with it the list and its images into the
    // cache: the back-dated start begins a second later.
    panes_.WebBrowser1->navigate(shell_.paths().startBlank.url);
    panes_.setMapPaneAside();
    timer5_.start(scaled(kBackDateDelayMs));
}

void RefreshProcess::WebBrowser1_NavigateError(const QUrl&, quint32 statusCode) {
    if (statusCode == platform::ResourceNotFoundStatus)
        return;
    if (state_.RefreshState >= refresh_state::Running)
        navigateErrorShutDown();
}

void RefreshProcess::navigateErrorShutDown() {
    // One failed load may be reported again while its message is open; one
    // message and one shut-down are enough.
    if (inErrorShutDown_)
        return;
    inErrorShutDown_ = true;
    messages().ShowMsgWind(1, navigateErrorText() + feedReasonLine(), 0);
    forceShutDown();
    inErrorShutDown_ = false;
}

void RefreshProcess::forceShutDown() {
    state_.RefreshState = refresh_state::Running;
    c_.Command7->setEnabled(true);
    state_.ForcedShutDown = 1;
    Command7_Click();
}

// ---- the selector map pane ----

void RefreshProcess::WebBrowser2_NewWindow2(platform::NewWindowRequest& request) {
    if (!services_.takeMapPopup)
        return;
    if (platform::BrowserPane* relay = services_.takeMapPopup())
        request.openIn = relay;
}

void RefreshProcess::WebBrowser2_DocumentComplete(const QUrl& address) {
    if (!sameAddress(address, settings().NationalMapUrl.trimmed()))
        return;
    if (state_.OnlineSwitchDone != 0)
        return;
    // Start-up went offline only so that the map could load from the cache:
    // now back online.
    state_.OnlineSwitchDone = -1;
    if (internet().goOnline())
        state_.OfflineFlag = 0;
}

void RefreshProcess::WebBrowser2_NavigateError(const QUrl& address, quint32 statusCode) {
    std::int16_t& retries = panes_.MapRetryCount;
    if (const std::optional<QString> next = radar::NextMapFallbackPage(address.toString())) {
        settings().NationalMapUrl = *next;
        if (retries == 0)
            retries = 1;
    }
    if (retries > 0) {
        if (retries < kMapRetryLimit) {
            panes_.WebBrowser2->navigate(shell_.paths().startBlank.url);
            panes_.WebBrowser2->navigate(QUrl(settings().NationalMapUrl.trimmed()));
            ++retries;
        } else {
            retries = 0;
        }
    }

    bool notFoundWhileDisconnected = false;
    if (statusCode == platform::ResourceNotFoundStatus) {
        const platform::ConnectionState connection = internet().connectionState();
        if (!connection.connected) {
            notFoundWhileDisconnected = true;
            if (state_.OfflineFlag == 0 && internet().goOffline())
                state_.OfflineFlag = -1;
        }
    }
    if (!notFoundWhileDisconnected && state_.RefreshState > refresh_state::Stopped)
        navigateErrorShutDown();
}

} // namespace nubivista::acquisition
