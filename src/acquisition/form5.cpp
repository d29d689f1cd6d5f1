#include "acquisition/form5.h"

#include "acquisition/platform/desktop_opener.h"
#include "core/app_identity.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>

namespace nubivista::acquisition {

namespace {

bool isWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// One of the program's own pages (the help and updates pages): a file in the
// program folder.
bool isOwnPage(const QString& address, const QString& appDir) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isLocalFile() || appDir.isEmpty())
        return false;
    const QFileInfo page(url.toLocalFile());
    return page.isFile() && QDir::cleanPath(page.absolutePath()) ==
                                QDir::cleanPath(QFileInfo(appDir).absoluteFilePath());
}

} // namespace

RelayLaunchers RelayLaunchers::system() {
    RelayLaunchers launchers;
    launchers.startProgram = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    launchers.openInDefaultBrowser = platform::openWithDesktop;
    launchers.tellNotOpened = [](const QUrl& address) {
        QMessageBox::warning(nullptr, core::kProgramTitle,
                             QStringLiteral("This page could not be shown:\n%1\n\n"
                                            "The desktop has no web browser to open it in, and "
                                            "the program could not open a window of its own "
                                            "for it.")
                                 .arg(address.toDisplayString()));
    };
    return launchers;
}

Form5::Form5(const core::AppPaths& paths, platform::BrowserPane* relayBrowser,
             RelayLaunchers launchers, QWidget* parent)
    : QWidget(parent), WebBrowser1(relayBrowser), paths_(paths), launchers_(std::move(launchers)) {
    setObjectName(QStringLiteral("Form5"));
    WebBrowser1->setParent(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    connect(WebBrowser1, &platform::BrowserPane::beforeNavigate, this,
            &Form5::WebBrowser1_BeforeNavigate2);
    connect(WebBrowser1, &platform::BrowserPane::newWindowRequested, this,
            &Form5::WebBrowser1_NewWindow2);
}

void Form5::Form_Load() {
    WebBrowser1->navigate(paths_.startBlank.url);
}

void Form5::OpenInNewWindow(const QString& address) {
    relayAddress_ = address;
    WebBrowser1->navigate(QUrl(address), QStringLiteral("_blank"));
}

void Form5::OpenFeedPage(const QString& address) {
    const QUrl url(address);
    if (!WebBrowser1->openOwnWindow(url) && launchers_.tellNotOpened)
        launchers_.tellNotOpened(url);
}

QString Form5::skyfolioPath() const {
    QDir folder(paths_.appDir);
    if (paths_.appDir.isEmpty() || !folder.cdUp())
        return {};
    return folder.filePath(QStringLiteral("Skyfolio2/Skyfolio2"));
}

void Form5::WebBrowser1_BeforeNavigate2(const QUrl& address, bool& cancel) {
    if (!popupRequested_)
        return;
    // The map pane's new window arrives here: hand it on as a new window.
    popupRequested_ = false;
    cancel = true;
    WebBrowser1->stop();
    relayAddress_ = address.toString();
    WebBrowser1->navigate(address, QStringLiteral("_blank"));
}

void Form5::WebBrowser1_NewWindow2(platform::NewWindowRequest& request) {
    const QString relay = relayAddress_;
    relayAddress_.clear();
    // The relay window never shows a window of its own: the new window is the
    // sibling program, or else the user's default browser.
    request.cancel = true;
    const QString address = relay.isEmpty() ? request.address.toString() : relay;
    // The address comes from a web page; only a web address or one of the
    // program's own pages leaves the program, never another local file or
    // something a program could take for an option.
    if (isOwnPage(address, paths_.appDir)) {
        openOnDesktop(QUrl(address));
        return;
    }
    if (!isWebAddress(address))
        return;
    const QString program = skyfolioPath();
    if (!relay.isEmpty() && !program.isEmpty() && QFileInfo(program).isFile() &&
        launchers_.startProgram(program, {relay}))
        return;
    openOnDesktop(QUrl(address));
}

void Form5::openOnDesktop(const QUrl& address) {
    const QPointer<Form5> alive(this);
    launchers_.openInDefaultBrowser(address, [alive, address] {
        if (!alive)
            return;
        if (!alive->WebBrowser1->openOwnWindow(address) && alive->launchers_.tellNotOpened)
            alive->launchers_.tellNotOpened(address);
    });
}

void Form5::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; it lives as long as the program.
    event->ignore();
    hide();
}

} // namespace nubivista::acquisition
