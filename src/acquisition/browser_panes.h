#pragma once
// The main window's two browser panes and where they sit: the image-page pane
// WebBrowser1 lives out of sight to the left of the display area, the
// selector map pane WebBrowser2 lies over the picture view while the national
// map is shown and is set aside (out of sight) otherwise.
#include "acquisition/feed_process.h"
#include "acquisition/platform/browser_pane.h"

#include <QObject>
#include <QUrl>
#include <functional>

namespace nubivista::core {
class Form1;
}

namespace nubivista::acquisition {

// Where the panes may go, in twips of the display area that holds them.
struct PaneArea {
    int areaWidth = 0;             // width of the display area (Picture3)
    platform::PlacementTwips view; // the picture view (Picture4) inside it
};

class BrowserPanes : public QObject {
    Q_OBJECT
public:
    // Both panes become children of host (the display area). area() is read
    // whenever a pane is placed.
    BrowserPanes(core::Form1& shell, QWidget* host, platform::BrowserPane* webBrowser1,
                 platform::BrowserPane* webBrowser2, std::function<PaneArea()> area);

    platform::BrowserPane* const WebBrowser1;
    platform::BrowserPane* const WebBrowser2;

    bool mapPaneAside() const { return MapPaneAside != 0; }
    std::int16_t MapPaneAside = 0;
    std::int16_t MapRetryCount = 0;

    // Shows the national map over the picture, or sets the map pane aside.
    void Command1_Click();
    // Moves the map pane aside and shows the blank page in it.
    void setMapPaneAside();
    // Places both panes again for the current area (after a layout).
    void placePanes();
    // Deferred action 101: the national map in the selector pane.
    void showNationalMap();

    QUrl nationalMapUrl() const;

    // The program's own feed: the national map waits until it is ready, and
    // a feed that cannot start is explained in the map pane instead, on a
    // local page written for it.
    void watchFeed(FeedProcess* feed);

private:
    void Form_Load();
    void Form_Activate();
    void CloseNavigation();
    static platform::PlacementTwips asidePlacement(const PaneArea& area);

    void onFeedReady();
    void showFeedProblem();

    core::Form1& shell_;
    FeedProcess* feed_ = nullptr;
    bool mapWaitsForFeed_ = false;
    bool showingFeedProblem_ = false;
    std::function<PaneArea()> area_;
};

} // namespace nubivista::acquisition
