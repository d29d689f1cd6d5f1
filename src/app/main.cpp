// The program's entry: start-up, then the main window until it closes.
#include "acquisition/form5.h"
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "acquisition/platform/web_engine_setup.h"
#include "app/main_window.h"
#include "core/app_identity.h"
#include "core/close_on_signal.h"
#include "core/instance_guard.h"
#include "core/message_service.h"
#include "core/startup.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStyle>
#include <memory>

using namespace nubivista;

int main(int argc, char** argv) {
    // The browser engine's flags and shared GL contexts come before the
    // application object.
    platform::prepareWebEngineEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(core::kProgramTitle);

    core::Settings settings;
    core::MessageService messages(settings.MsgOffMap);
    core::LockFileInstanceGuard instanceGuard(core::LockFileInstanceGuard::defaultLockPath());

    // Declared before the panes so that it goes after them: panes, then their
    // profile, then the layer that serves them.
    std::unique_ptr<platform::InternetLayer> internet;

    core::StartupEnvironment env;
    env.instanceGuard = &instanceGuard;
    env.executableDir = QCoreApplication::applicationDirPath();
    env.profileDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    env.themesActive =
        QApplication::style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0;
    // The layer starts once this is known to be the only instance.
    env.readConnection = [&internet]() -> std::optional<core::ConnectionAtStart> {
        internet = std::make_unique<platform::InternetLayer>();
        const platform::ConnectionState state = internet->connectionState();
        return core::ConnectionAtStart{state.connected, state.offline};
    };
    env.goOfflineForced = [&internet] { return internet && internet->goOffline(); };

    const std::optional<core::StartupResult> started = core::runStartup(env, settings, messages);
    if (!started)
        return 1;

    if (!internet)
        internet = std::make_unique<platform::InternetLayer>();
    platform::PaneProfile paneProfile(internet->credentials());

    acquisition::Form5 form5(started->paths, new platform::WebEnginePane(paneProfile));
    form5.Form_Load();
    form5.hide();

    core::SystemClock clock;
    app::MainWindowServices services;
    services.settings = &settings;
    services.paths = started->paths;
    services.messages = &messages;
    services.clock = &clock;
    services.look = {started->ThemePad, started->PanelBackColor};
    services.makePane = [&paneProfile] { return new platform::WebEnginePane(paneProfile); };
    services.openInNewWindow = [&form5](const QString& address) { form5.OpenInNewWindow(address); };
    services.internet = internet.get();
    services.onlineSwitchDone = started->OnlineSwitchDone;
    services.takeMapPopup = [&form5] {
        form5.setPopupRequested(true);
        return form5.WebBrowser1;
    };
    app::MainWindow mainWindow(services);
    core::Form1& form1 = mainWindow.form1();
    form1.addWindowToUnload(QStringLiteral("Form5"), &form5);
    messages.setParentWindow(&form1);
    form1.Form_Load();
    form1.show();
    const core::CloseOnSignal closeOnSignal(&form1);
    return QApplication::exec();
}
