#pragma once
// A browser pane for window tests: it records what the window asks of it and
// lets the test raise the pane's events by hand. Navigation follows the real
// pane's contract: before-navigate first (cancellable), "_blank" becomes a
// new-window request.
#include "acquisition/platform/browser_pane.h"

namespace nubivista::platform::testing {

class FakeBrowserPane : public BrowserPane {
    Q_OBJECT
public:
    using BrowserPane::BrowserPane;

    void navigate(const QUrl& address, const QString& targetFrame = {}) override {
        navigations.append({address, targetFrame});
        if (targetFrame.compare(QLatin1String("_blank"), Qt::CaseInsensitive) == 0) {
            pageAsksForNewWindow(address);
            return;
        }
        bool cancel = false;
        emit beforeNavigate(address, cancel);
        if (!cancel)
            current = address;
    }
    void refresh() override { ++refreshes; }
    void stop() override { ++stops; }
    QUrl currentAddress() const override { return current; }
    bool silent() const override { return silent_; }
    void setSilent(bool silent) override { silent_ = silent; }
    bool openOwnWindow(const QUrl& address) override {
        ownWindows.append(address);
        return ownWindowsOpen;
    }

    // A page's own request for a new window (a script or a link's target).
    NewWindowRequest pageAsksForNewWindow(const QUrl& address) {
        lastNewWindow = NewWindowRequest{address};
        emit newWindowRequested(lastNewWindow);
        return lastNewWindow;
    }

    struct Navigation {
        QUrl address;
        QString targetFrame;
    };
    QList<Navigation> navigations;
    NewWindowRequest lastNewWindow;
    QUrl current;
    QList<QUrl> ownWindows;
    bool ownWindowsOpen = true;
    int refreshes = 0;
    int stops = 0;

private:
    bool silent_ = false;
};

} // namespace nubivista::platform::testing
