#pragma once
// The program as main() assembles it, in a temporary home: the main window on
// real browser panes and the relay window, over an Internet layer the caller
// makes. The end-to-end tests and the soak both drive it.
#include "acquisition/feed_process.h"
#include "acquisition/form5.h"
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "app/main_window.h"
#include "core/message_service.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

namespace nubivista::e2e {

struct AssembledProgram {
    // The folders, the relay window and the main window, on `layer`. Messages go
    // to `answer`. Returns what is missing, or nothing when all is in place.
    std::optional<QString> assemble(core::Clock& clock,
                                    std::function<int(int kind, const QString&, int id)> answer,
                                    const std::function<void(app::MainWindowServices&)>& adjust);
    // Loads, shows and activates the main window as start-up does.
    void show();
    platform::WebEnginePane& mapPane() const;
    // A click on the site's spot of the national map, as the user makes it:
    // false when the map has no spot for it, nothing when the page did not answer.
    std::optional<bool> clickSite(const QString& site, int timeoutMs);

    QTemporaryDir home;
    core::AppPaths paths;
    core::Settings settings;
    core::MessageService messageService{settings.MsgOffMap};
    std::unique_ptr<platform::InternetLayer> layer;
    std::unique_ptr<acquisition::FeedProcess> feed; // the program's own, when it has one
    std::unique_ptr<platform::PaneProfile> profile;
    std::unique_ptr<acquisition::Form5> form5;
    QStringList relayed; // what the relay window was asked to open
    std::unique_ptr<app::MainWindow> window;
};

} // namespace nubivista::e2e
