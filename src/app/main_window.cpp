#include "app/main_window.h"

#include "display/tab_display.h"
#include "display/window_layout.h"
#include "display/zoom_scroll.h"

namespace nubivista::app {

MainWindow::MainWindow(const MainWindowServices& services) {
    core::Settings& settings = *services.settings;
    form1_ = std::make_unique<core::Form1>(settings, services.paths, *services.messages,
                                           *services.clock);
    loop_ =
        std::make_unique<sets::LoopSet>(services.paths.setRecPath, services.paths.loopImgBase,
                                        [&settings] { return settings.RefreshIntervalMinutes; });

    display::DisplayPeers peers;
    peers.toggleMapPane = [this] { panes_->Command1_Click(); };
    peers.placeMapPane = [this] {
        if (panes_)
            panes_->placePanes();
    };
    display_ = new display::LoopDisplay(*form1_, *loop_, services.look, std::move(peers));

    const display::DisplayControls& c = display_->controls();
    platform::BrowserPane* const imagePane = services.makePane();
    platform::BrowserPane* const mapPane = services.makePane();
    panes_ = new acquisition::BrowserPanes(*form1_, c.Picture3, imagePane, mapPane,
                                           [this] { return paneArea(); });

    form3_ = std::make_unique<auxiliary::Form3>(services.paths.userDir);
    form6_ = std::make_unique<auxiliary::Form6>();
    form1_->attachMenuItem(QStringLiteral("mnuAbout"), [this] {
        form3_->show();
        form3_->raise();
    });
    form1_->attachMenuItem(QStringLiteral("mnuBugsSuggest"), [this] { form6_->showOnce(); });
    form1_->addWindowToUnload(QStringLiteral("Form3"), form3_.get());
    form1_->addWindowToUnload(QStringLiteral("Form6"), form6_.get());
    form1_->setOpenInNewWindow(services.openInNewWindow);
}

MainWindow::~MainWindow() = default;

acquisition::PaneArea MainWindow::paneArea() const {
    const display::DisplayControls& c = display_->controls();
    const QRect view = c.Picture4->geometry();
    return {static_cast<int>(display::toTwips(c.Picture3->width())),
            {static_cast<int>(display::toTwips(view.x())),
             static_cast<int>(display::toTwips(view.y())),
             static_cast<int>(display::toTwips(view.width())),
             static_cast<int>(display::toTwips(view.height()))}};
}

} // namespace nubivista::app
