#include "e2e/assembled_program.h"

#include "core/wait_ticks.h"

#include <QDir>
#include <QFile>
#include <QWebEnginePage>

namespace nubivista::e2e {

std::optional<QString>
AssembledProgram::assemble(core::Clock& clock, std::function<int(int, const QString&, int)> answer,
                           const std::function<void(app::MainWindowServices&)>& adjust) {
    paths = core::derivePaths(QStringLiteral(NUBIVISTA_APP_DIR), home.path());
    if (!QFile::exists(paths.beginNav.path))
        return QStringLiteral("the program's pages are not in ") + paths.appDir;
    if (!layer || !layer->isRunning())
        return QStringLiteral("the Internet layer did not start");
    QDir().mkpath(paths.loopImagesDir);
    QDir().mkpath(paths.savedSetsDir);
    messageService.setAnswerer(std::move(answer));
    profile = std::make_unique<platform::PaneProfile>(layer->credentials());

    acquisition::RelayLaunchers launchers;
    launchers.startProgram = [this](const QString& program, const QStringList& arguments) {
        relayed << program + ' ' + arguments.join(' ');
        return true;
    };
    launchers.openInDefaultBrowser = [this](const QUrl& address, const std::function<void()>&) {
        relayed << address.toString();
    };
    form5 = std::make_unique<acquisition::Form5>(paths, new platform::WebEnginePane(*profile),
                                                 launchers);
    form5->Form_Load();
    form5->hide();

    app::MainWindowServices services;
    services.settings = &settings;
    services.paths = paths;
    services.messages = &messageService;
    services.clock = &clock;
    services.makePane = [this] { return new platform::WebEnginePane(*profile); };
    services.openInNewWindow = [this](const QString& address) { form5->OpenInNewWindow(address); };
    services.internet = layer.get();
    services.onlineSwitchDone = true;
    services.takeMapPopup = [this] {
        form5->setPopupRequested(true);
        return form5->WebBrowser1;
    };
    if (adjust)
        adjust(services);
    window = std::make_unique<app::MainWindow>(services);
    messageService.setParentWindow(&window->form1());
    return std::nullopt;
}

void AssembledProgram::show() {
    window->form1().Form_Load();
    window->form1().resize(1100, 900);
    window->form1().show();
    window->form1().Form_Activate();
}

platform::WebEnginePane& AssembledProgram::mapPane() const {
    return *qobject_cast<platform::WebEnginePane*>(window->panes().WebBrowser2);
}

std::optional<bool> AssembledProgram::clickSite(const QString& site, int timeoutMs) {
    // The answer may come after a timed-out wait: it must not outlive its target.
    auto found = std::make_shared<std::optional<bool>>();
    mapPane().page()->runJavaScript(
        QStringLiteral("(function() {"
                       "  var spot = document.querySelector('area[href$=\"/si.%1.shtml\"]');"
                       "  if (!spot) return false;"
                       "  spot.click();"
                       "  return true;"
                       "})()")
            .arg(site),
        [found](const QVariant& result) { *found = result.toBool(); });
    core::WaitUntil([&] { return found->has_value(); }, timeoutMs);
    return *found;
}

} // namespace nubivista::e2e
