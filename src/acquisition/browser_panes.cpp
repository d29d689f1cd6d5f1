#include "acquisition/browser_panes.h"

#include "core/form1.h"
#include "core/wait_ticks.h"

#include <QFile>

namespace nubivista::acquisition {

namespace {
// A pane set aside ends this far left of the display area's left edge.
constexpr int kAsideGapTwips = 1800;
constexpr int kCloseWaitMs = 500;
} // namespace

BrowserPanes::BrowserPanes(core::Form1& shell, QWidget* host, platform::BrowserPane* webBrowser1,
                           platform::BrowserPane* webBrowser2, std::function<PaneArea()> area)
    : QObject(&shell),
      WebBrowser1(webBrowser1),
      WebBrowser2(webBrowser2),
      shell_(shell),
      area_(std::move(area)) {
    WebBrowser1->setParent(host);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser2->setParent(host);
    WebBrowser2->setObjectName(QStringLiteral("WebBrowser2"));
    // The process depends on the image-page pane's page: the user never
    // reaches it, with the mouse, the keyboard or a context menu.
    WebBrowser1->keepFromUser();
    WebBrowser1->show();
    WebBrowser2->show();
    WebBrowser2->raise();

    shell_.addLoadStep([this] { Form_Load(); });
    shell_.addFirstActivationStep([this] { Form_Activate(); });
    shell_.addCloseNavigationStep([this] { CloseNavigation(); });
    shell_.registerDeferredAction(core::deferred::ShowNationalMap, [this] { showNationalMap(); });
}

QUrl BrowserPanes::nationalMapUrl() const {
    return QUrl(shell_.settings().NationalMapUrl.trimmed());
}

platform::PlacementTwips BrowserPanes::asidePlacement(const PaneArea& area) {
    // Left of the display area, not right of it: a window can grow to any
    // width (maximized, full screen, fitted), but never left of its own edge.
    return {-(area.view.width + kAsideGapTwips), area.view.top, area.view.width, area.view.height};
}

void BrowserPanes::placePanes() {
    const PaneArea area = area_();
    // The image-page pane stays out of sight but follows the view's size, so
    // its page lays out as it would when seen.
    WebBrowser1->setPlacementTwips(asidePlacement(area));
    WebBrowser2->setPlacementTwips(MapPaneAside != 0 ? asidePlacement(area) : area.view);
    WebBrowser2->raise();
}

void BrowserPanes::Form_Load() {
    WebBrowser1->navigate(shell_.paths().startBlank.url);
    WebBrowser2->navigate(shell_.paths().appClose.url);
    placePanes();
}

void BrowserPanes::Form_Activate() {
    placePanes();
}

void BrowserPanes::showNationalMap() {
    showingFeedProblem_ = false;
    if (feed_) {
        switch (feed_->state()) {
        case FeedProcess::State::NotStarted:
        case FeedProcess::State::Starting:
            // Loaded now, the map would fail and walk the regions for nothing.
            mapWaitsForFeed_ = true;
            return;
        case FeedProcess::State::CannotStart:
            showFeedProblem();
            return;
        default:
            break;
        }
    }
    mapWaitsForFeed_ = false;
    WebBrowser2->navigate(nationalMapUrl());
}

void BrowserPanes::watchFeed(FeedProcess* feed) {
    feed_ = feed;
    connect(feed, &FeedProcess::ready, this, &BrowserPanes::onFeedReady);
    connect(feed, &FeedProcess::cannotStart, this, [this] {
        if (mapWaitsForFeed_ && MapPaneAside == 0)
            showFeedProblem();
    });
}

void BrowserPanes::onFeedReady() {
    if ((mapWaitsForFeed_ || showingFeedProblem_) && MapPaneAside == 0)
        showNationalMap();
}

void BrowserPanes::showFeedProblem() {
    mapWaitsForFeed_ = false;
    showingFeedProblem_ = true;
    const core::LocalPage& page = shell_.paths().feedProblem;
    QFile file(page.path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(feedProblemPageHtml(feed_->problem()).toUtf8());
    WebBrowser2->navigate(page.url);
}

void BrowserPanes::setMapPaneAside() {
    MapPaneAside = 1;
    mapWaitsForFeed_ = false;
    showingFeedProblem_ = false;
    WebBrowser2->navigate(shell_.paths().startBlank.url);
    placePanes();
}

void BrowserPanes::Command1_Click() {
    if (MapPaneAside == 0) {
        setMapPaneAside();
        return;
    }
    MapRetryCount = 0;
    MapPaneAside = 0;
    placePanes();
    showNationalMap();
}

void BrowserPanes::CloseNavigation() {
    const PaneArea area = area_();
    WebBrowser1->setPlacementTwips(area.view);
    WebBrowser1->navigate(shell_.paths().startBlank.url);
    core::WaitTicks(kCloseWaitMs, shell_.clock());
    MapPaneAside = 0;
    WebBrowser2->setPlacementTwips(area.view);
    WebBrowser2->raise();
    WebBrowser2->navigate(shell_.paths().appClose.url);
    core::WaitTicks(kCloseWaitMs, shell_.clock());
}

} // namespace nubivista::acquisition
