#pragma once
// The relay window: never shown, it opens addresses in a new window. A new
// window is the sibling program Skyfolio2 when it is installed beside the
// program folder, otherwise the user's default browser, and when the desktop
// has no browser, a window of the program's own.
#include "acquisition/platform/browser_pane.h"
#include "core/app_paths.h"

#include <QWidget>
#include <functional>

namespace nubivista::acquisition {

// How the relay window starts a program, opens an address on the desktop
// (failed() runs later when the desktop could not) and tells the user that
// a page could not be shown at all; tests replace them.
struct RelayLaunchers {
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;
    std::function<void(const QUrl& address, std::function<void()> failed)> openInDefaultBrowser;
    std::function<void(const QUrl& address)> tellNotOpened;

    static RelayLaunchers system();
};

class Form5 : public QWidget {
    Q_OBJECT
public:
    // Takes the relay browser as its child.
    Form5(const core::AppPaths& paths, platform::BrowserPane* relayBrowser,
          RelayLaunchers launchers = RelayLaunchers::system(), QWidget* parent = nullptr);

    void Form_Load();
    // Opens the address in a new window (a link of the map that is no site).
    void OpenInNewWindow(const QString& address);
    // Shows one of the feed's pages (its status) in a window of the relay
    // browser's own. The feed answers at the radar servers' addresses, which
    // only the program's Internet layer leads to: neither the sibling program
    // nor the desktop's browser would reach it there.
    void OpenFeedPage(const QString& address);

    // Set by the map pane when it asks for a new window; the relay browser's
    // next navigation is then that window's address.
    bool popupRequested() const { return popupRequested_; }
    void setPopupRequested(bool requested) { popupRequested_ = requested; }
    QString relayAddress() const { return relayAddress_; }

    // The sibling program's executable; empty when the program folder has no parent.
    QString skyfolioPath() const;

    platform::BrowserPane* const WebBrowser1;

    void WebBrowser1_BeforeNavigate2(const QUrl& address, bool& cancel);
    void WebBrowser1_NewWindow2(platform::NewWindowRequest& request);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The desktop's browser, else a window of the relay browser's own, else
    // a message.
    void openOnDesktop(const QUrl& address);

    core::AppPaths paths_;
    RelayLaunchers launchers_;
    bool popupRequested_ = false;
    QString relayAddress_;
};

} // namespace nubivista::acquisition
