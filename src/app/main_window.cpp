#include "app/main_window.h"

#include "acquisition/platform/null_internet_service.h"
#include "display/loop_animation.h"
#include "display/tab_display.h"
#include "display/window_layout.h"
#include "display/zoom_scroll.h"

#include <QAction>
#include <QDir>

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
    // Storm tracking: the display passes presses on the picture and its
    // markers, and ClearMeasurement resets the state.
    peers.measurementClick = [this](int, Qt::MouseButton button, Qt::KeyboardModifiers,
                                    QPointF twipsInPicture) {
        if (frmPlaces_ && frmPlaces_->picking())
            pickPlace(twipsInPicture);
        else if (measurement_)
            measurement_->Image1_MouseDown(button, twipsInPicture);
    };
    peers.refreshRunning = [this] { return refresh_ && refresh_->offersShutDown(); };
    peers.resetMeasurementState = [this] {
        if (measurement_)
            measurement_->resetState();
    };
    peers.chooseGifFile = services.chooseGifFile;
    display_ = new display::LoopDisplay(*form1_, *loop_, services.look, std::move(peers));

    const display::DisplayControls& c = display_->controls();
    platform::BrowserPane* const imagePane = services.makePane();
    platform::BrowserPane* const mapPane = services.makePane();
    panes_ = new acquisition::BrowserPanes(*form1_, c.Picture3, imagePane, mapPane,
                                           [this] { return paneArea(); });

    if (services.feedProcess)
        panes_->watchFeed(services.feedProcess);
    if (services.feed.source == acquisition::FeedSource::Demo)
        form1_->setCaptionMark(QString::fromLatin1(acquisition::kDemoMark));

    attachRefreshProcess(services);
    setCommands_ = new sets::SetCommands(*form1_, *loop_,
                                         services.chooseSetFile ? services.chooseSetFile
                                                                : sets::qtFileChooser(form1_.get()),
                                         setCommandPeers());

    auxiliary::AboutPlaces about;
    about.helpPagePath = services.paths.helpPagePath;
    about.feedDescription = acquisition::feedDescription(services.feed);
    // The help page opens the way the menu's Help item opens it.
    about.openHelpPage = [this] {
        if (QAction* help = form1_->menuItem(QStringLiteral("mnuHelp")))
            help->trigger();
    };
    form3_ = std::make_unique<auxiliary::Form3>(services.paths.userDir, nullptr, std::move(about));
    form6_ = std::make_unique<auxiliary::Form6>(nullptr, services.messages);
    form1_->attachMenuItem(QStringLiteral("mnuAbout"), [this] {
        form3_->show();
        form3_->raise();
    });
    form1_->attachMenuItem(QStringLiteral("mnuBugsSuggest"), [this] { form6_->showOnce(); });
    form1_->addWindowToUnload(QStringLiteral("Form3"), form3_.get());
    form1_->addWindowToUnload(QStringLiteral("Form6"), form6_.get());
    form1_->setOpenInNewWindow(services.openInNewWindow);
    attachMeasurement(services);
    attachOptions(services);
    attachPlaces(services);
    attachStorms(services);
}

MainWindow::~MainWindow() = default;

sets::SetCommandPeers MainWindow::setCommandPeers() {
    sets::SetCommandPeers peers;
    display::LoopDisplay& d = *display_;
    peers.refreshState = [this] { return refresh_->RefreshState(); };
    peers.shutDownState = [this] { refresh_->enterShutDownState(); };
    peers.stopImagePolling = [this] { refresh_->stopImagePolling(); };
    peers.resetMinutesCounted = [this] { refresh_->resetMinutesCounted(); };
    peers.selectedTab = [&d] { return d.tabs().selectedTab(); };
    peers.selectTab = [&d](int tab) { d.tabs().selectTab(tab); };
    peers.skipChecked = [&d](int tab) {
        return tab >= 1 && tab <= display::kTabCount && d.controls().Check4[tab]->isChecked();
    };
    peers.setSkipBox = [this](int tab, bool checked, bool enabled) {
        setSkipBox(tab, checked, enabled);
    };
    peers.clearMeasurement = [&d] { d.tabs().ClearMeasurement(); };
    peers.picturesLoaded = [this](int newestSlot) { sizeViewToPicture(newestSlot); };
    peers.showInterval = [&d](int minutes) {
        d.controls().Text4->setText(QString::number(minutes));
    };
    peers.setMapPaneAside = [this] {
        if (!panes_->mapPaneAside())
            panes_->setMapPaneAside();
    };
    peers.setCaption = [this](const QString& caption) { form1_->setWindowTitle(caption); };
    peers.showProduct = [&d](const QString& code) { d.tabs().showProduct(code); };
    return peers;
}

// ---- the auto-refresh process ----

void MainWindow::attachRefreshProcess(const MainWindowServices& services) {
    display::DisplayControls& c = display_->controls();
    acquisition::RefreshControls controls;
    controls.Command7 = c.Command7;
    controls.Command9 = c.Command9;
    controls.Command20 = c.Command20;
    controls.Command21 = c.Command21;
    controls.Text2 = c.Text2;
    controls.Text4 = c.Text4;
    controls.Check1 = c.Check1;
    controls.Check2 = c.Check2;
    controls.Check3 = c.Check3;
    controls.Combo1 = c.Combo1;

    display::LoopDisplay& d = *display_;
    acquisition::DisplayActions actions;
    actions.selectedTab = [&d] { return d.tabs().selectedTab(); };
    actions.selectTab = [&d](int tab) { d.tabs().selectTab(tab); };
    actions.setSkipBox = [this](int tab, bool checked, bool enabled) {
        setSkipBox(tab, checked, enabled);
    };
    actions.clearMeasurement = [&d] { d.tabs().ClearMeasurement(); };
    actions.firstImageMeasured = [this](int slot) { sizeViewToPicture(slot); };
    actions.showProduct = [&d](const QString& code) { d.tabs().showProduct(code); };

    acquisition::RefreshServices refreshServices;
    if (services.internet == nullptr)
        ownInternet_ = std::make_unique<platform::NullInternetService>();
    sourceNotice_ = std::make_unique<acquisition::PictureSourceNotice>(
        services.internet ? *services.internet : *ownInternet_, *services.messages);
    refreshServices.internet = sourceNotice_.get();
    refreshServices.onlineSwitchDone = services.onlineSwitchDone;
    refreshServices.openInNewWindow = services.openInNewWindow;
    refreshServices.openFeedPage = services.openFeedPage;
    refreshServices.takeMapPopup = services.takeMapPopup;
    refresh_ = new acquisition::RefreshProcess(*form1_, *loop_, *panes_, controls,
                                               std::move(actions), std::move(refreshServices));
}

void MainWindow::setSkipBox(int tab, bool checked, bool enabled) {
    if (tab < 1 || tab > display::kTabCount)
        return;
    display::DisplayControls& c = display_->controls();
    c.Check4[tab]->setChecked(checked);
    c.Check4[tab]->setEnabled(enabled);
}

void MainWindow::sizeViewToPicture(int slot) {
    display::LoopDisplay& d = *display_;
    const QImage& picture = loop_->picture(slot);
    if (!picture.isNull())
        d.zoom().setNaturalSize(display::toTwips(picture.width()),
                                display::toTwips(picture.height()));
    d.zoom().UpdateScrollRanges();
    d.zoom().SyncScrollBars(false, false);
    d.zoom().placeScrollBars();
    if (d.controls().Check5->isChecked())
        d.zoom().FitWindowToImage();
}

// ---- storm tracking ----

void MainWindow::attachMeasurement(const MainWindowServices& services) {
    form9_ = std::make_unique<tracking::Form9>(*services.settings, *services.messages,
                                               *services.clock, services.chooseListFile);
    form9_->hide();
    form1_->addWindowToUnload(QStringLiteral("Form9"), form9_.get());
    measurement_ = std::make_unique<tracking::Measurement>(*services.settings, *loop_,
                                                           *services.clock, measurementView());
}

tracking::MeasurementView MainWindow::measurementView() {
    display::DisplayControls& c = display_->controls();
    display::RadarView* view = c.Image1;
    tracking::MeasurementView v;
    v.placeMarker = [view](int index, QRectF square) {
        display::MarkerWidget* marker = view->marker(index);
        if (marker == nullptr)
            return;
        const display::TwipsRect g = view->pictureGeometry();
        const int side = std::max(1, display::toPixels(square.width()));
        marker->setFixedSize(side, side);
        marker->move(display::toPixels(g.left + square.left()),
                     display::toPixels(g.top + square.top()));
        marker->show();
        marker->raise();
    };
    v.hideMarker = [view](int index) {
        if (display::MarkerWidget* marker = view->marker(index))
            marker->hide();
    };
    v.showLine = [view](QLineF line, int width) {
        view->setLine(line);
        view->setLineWidth(width);
        view->setLineVisible(true);
    };
    v.hideLine = [view] { view->setLineVisible(false); };
    v.setText1 = [&c](const QString& text) { c.Text1->setText(text); };
    v.pictureOrigin = [view] {
        const display::TwipsRect g = view->pictureGeometry();
        return QPointF(g.left, g.top);
    };
    v.viewSize = [view] {
        return QSizeF(display::toTwips(view->width()), display::toTwips(view->height()));
    };
    v.currentSlot = [this] { return loop_->slotForTab(display_->tabs().selectedTab()); };
    v.loopRunning = [this] { return display_->animation().running(); };
    v.addListRow = [this](const QString& text) { form9_->addRow(text); };
    return v;
}

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
