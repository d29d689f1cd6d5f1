#pragma once
// A browser pane as the windows see it: navigate, refresh, stop, the current
// address, the silent switch, placement in twips, and the events of a page
// load. The windows receive panes at construction; tests give them fakes.
//
// The cancellable events pass their answer by reference, so their handlers
// must be connected directly (the default within the UI thread).
#include <QUrl>
#include <QWidget>

namespace nubivista::platform {

// Navigate-error status of an address whose host cannot be found or reached,
// or which is not cached while working offline.
inline constexpr quint32 ResourceNotFoundStatus = 0x800C0005u;
// Navigate-error status of any other failure that has no HTTP status.
inline constexpr quint32 DownloadFailureStatus = 0x800C0008u;

// Fifteen twips make one pixel.
inline constexpr int TwipsPerPixel = 15;

class BrowserPane;

struct NewWindowRequest {
    QUrl address;
    bool cancel = false;
    // A pane that is to show the new window's page instead of a new window.
    BrowserPane* openIn = nullptr;
};

struct PlacementTwips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class BrowserPane : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The target frame "_blank" asks for a new window instead of loading here.
    virtual void navigate(const QUrl& address, const QString& targetFrame = {}) = 0;
    // Fetches the page and its images again from the server.
    virtual void refresh() = 0;
    virtual void stop() = 0;
    virtual QUrl currentAddress() const = 0;
    // While silent, the pane shows no script or error dialogs.
    virtual bool silent() const = 0;
    virtual void setSilent(bool silent) = 0;

    void setPlacementTwips(const PlacementTwips& placement);

    // For a pane that works out of sight: it takes no mouse, no keyboard
    // focus and offers no context menu, while its pages load as before.
    void keepFromUser();

    // Shows the address in a window of the pane's own, for a page that the
    // desktop has no program to show. False when the pane has none to offer.
    virtual bool openOwnWindow(const QUrl& address) {
        Q_UNUSED(address);
        return false;
    }
    PlacementTwips placementTwips() const;

signals:
    void beforeNavigate(const QUrl& address, bool& cancel);
    void newWindowRequested(nubivista::platform::NewWindowRequest& request);
    void downloadBegin();
    void downloadComplete();
    void documentComplete(const QUrl& address);
    void progressChange(int progress, int maximum);
    void statusTextChange(const QString& text);
    void navigateError(const QUrl& address, quint32 statusCode);
    void titleChange(const QString& title);
    void navigateComplete(const QUrl& address);
};

} // namespace nubivista::platform
