// The program's entry: start-up, then the main window until it closes.
#include "acquisition/feed_process.h"
#include "acquisition/form5.h"
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "acquisition/platform/web_engine_setup.h"
#include "app/command_line.h"
#include "app/feed_cache.h"
#include "app/gif_export_command.h"
#include "app/main_window.h"
#include "app/own_feed.h"
#include "core/app_identity.h"
#include "core/app_paths.h"
#include "core/close_on_signal.h"
#include "core/instance_guard.h"
#include "core/message_service.h"
#include "core/startup.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QStandardPaths>
#include <QStyle>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <optional>

using namespace nubivista;

namespace {

// Reads the program's own options before the application object exists, so
// that help and mistakes are told without a display. Qt's options pass here.
// --export-gif: no window and no display needed, so the offscreen platform
// draws the time stamps.
int exportWithoutWindow(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(core::kProgramTitle);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto parsed = app::parseCommandLine(QCoreApplication::arguments());
    if (const auto* error = std::get_if<QString>(&parsed)) {
        err << *error << '\n';
        return 2;
    }
    const core::AppPaths paths = core::derivePaths(
        core::appDirFrom(QCoreApplication::applicationDirPath()),
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)));
    const core::SystemClock clock;
    return app::runGifExport(*std::get<app::CommandLine>(parsed).exportGif, paths, clock, out, err);
}

std::optional<int> exitBeforeStart(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto parsed = app::parseCommandLine(arguments, true);
    if (const auto* error = std::get_if<QString>(&parsed)) {
        std::fprintf(stderr, "%s\n", qPrintable(*error));
        return 2;
    }
    if (std::get<app::CommandLine>(parsed).showHelp) {
        std::fputs(qPrintable(app::commandLineHelp()), stdout);
        return 0;
    }
    if (std::get<app::CommandLine>(parsed).exportGif)
        return exportWithoutWindow(argc, argv);
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = exitBeforeStart(argc, argv))
        return *status;
    // The browser engine's flags and shared GL contexts come before the
    // application object.
    platform::prepareWebEngineEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(core::kProgramTitle);
    const auto parsed = app::parseCommandLine(QCoreApplication::arguments());
    if (const auto* error = std::get_if<QString>(&parsed)) {
        std::fprintf(stderr, "%s\n", qPrintable(*error));
        return 2;
    }
    const acquisition::FeedChoice feedChoice = std::get<app::CommandLine>(parsed).feed;

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
    // Each feed has its own cache, so the demo's pictures never answer the
    // live program. The layer starts once this is known to be the only
    // instance, which alone may clear the cache earlier versions shared.
    const auto makeLayer = [&internet, &feedChoice] {
        const QString root = app::internetCacheRoot();
        app::removeSharedCache(root);
        internet =
            std::make_unique<platform::InternetLayer>(app::internetOptionsFor(feedChoice, root));
    };
    env.readConnection = [&internet, &makeLayer]() -> std::optional<core::ConnectionAtStart> {
        makeLayer();
        const platform::ConnectionState state = internet->connectionState();
        return core::ConnectionAtStart{state.connected, state.offline};
    };
    env.goOfflineForced = [&internet] { return internet && internet->goOffline(); };

    const std::optional<core::StartupResult> started = core::runStartup(env, settings, messages);
    if (!started)
        return 1;

    if (!internet)
        makeLayer();
    // Started before the first pane navigates; the window does not wait for it.
    std::unique_ptr<acquisition::FeedProcess> feed;
    if (feedChoice.source == acquisition::FeedSource::External)
        internet->setFeedProxy(app::feedProxyAt(feedChoice.address));
    else
        feed = app::startOwnFeed(feedChoice, *internet, app::ownFeedProgram());
    platform::PaneProfile paneProfile(internet->credentials());

    // The relay window and its browser are made when first needed: most runs
    // never open a page in a new window, and a pane costs its renderer memory.
    std::unique_ptr<acquisition::Form5> form5;
    QPointer<core::Form1> mainForm;
    const auto relay = [&]() -> acquisition::Form5& {
        if (!form5) {
            form5 = std::make_unique<acquisition::Form5>(started->paths,
                                                         new platform::WebEnginePane(paneProfile));
            form5->Form_Load();
            form5->hide();
            if (mainForm)
                mainForm->addWindowToUnload(QStringLiteral("Form5"), form5.get());
        }
        return *form5;
    };

    core::SystemClock clock;
    app::MainWindowServices services;
    services.settings = &settings;
    services.paths = started->paths;
    services.messages = &messages;
    services.clock = &clock;
    services.look = {started->ThemePad, started->PanelBackColor};
    services.makePane = [&paneProfile] { return new platform::WebEnginePane(paneProfile); };
    services.openInNewWindow = [&relay](const QString& address) {
        relay().OpenInNewWindow(address);
    };
    services.openFeedPage = [&relay](const QString& address) { relay().OpenFeedPage(address); };
    services.internet = internet.get();
    services.onlineSwitchDone = started->OnlineSwitchDone;
    services.feed = feedChoice;
    services.feedProcess = feed.get();
    services.takeMapPopup = [&relay] {
        relay().setPopupRequested(true);
        return relay().WebBrowser1;
    };
    app::MainWindow mainWindow(services);
    core::Form1& form1 = mainWindow.form1();
    mainForm = &form1;
    messages.setParentWindow(&form1);
    form1.Form_Load();
    form1.show();
    const core::CloseOnSignal closeOnSignal(&form1);
    return QApplication::exec();
}
