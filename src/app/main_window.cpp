#include "app/main_window.h"

#include "display/loop_animation.h"
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
    // Storm tracking: the display passes presses on the picture and its
    // markers, and ClearMeasurement resets the state.
    peers.measurementClick = [this](int, Qt::MouseButton button, Qt::KeyboardModifiers,
                                    QPointF twipsInPicture) {
        if (measurement_)
            measurement_->Image1_MouseDown(button, twipsInPicture);
    };
    peers.resetMeasurementState = [this] {
        if (measurement_)
            measurement_->resetState();
    };
    display_ = new display::LoopDisplay(*form1_, *loop_, services.look, std::move(peers));

    const display::DisplayControls& c = display_->controls();
    platform::BrowserPane* const imagePane = services.makePane();
    platform::BrowserPane* const mapPane = services.makePane();
    panes_ = new acquisition::BrowserPanes(*form1_, c.Picture3, imagePane, mapPane,
                                           [this] { return paneArea(); });

    setCommands_ = new sets::SetCommands(*form1_, *loop_,
                                         services.chooseSetFile ? services.chooseSetFile
                                                                : sets::qtFileChooser(form1_.get()),
                                         setCommandPeers());

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
    attachMeasurement(services);
}

MainWindow::~MainWindow() = default;

sets::SetCommandPeers MainWindow::setCommandPeers() {
    sets::SetCommandPeers peers;
    display::LoopDisplay& d = *display_;
    peers.refreshState = [] { return 0; };
    peers.shutDownState = [this] { showStoppedRefreshControls(); };
    peers.selectedTab = [&d] { return d.tabs().selectedTab(); };
    peers.selectTab = [&d](int tab) { d.tabs().selectTab(tab); };
    peers.skipChecked = [&d](int tab) {
        return tab >= 1 && tab <= display::kTabCount && d.controls().Check4[tab]->isChecked();
    };
    peers.setSkipBox = [&d](int tab, bool checked, bool enabled) {
        if (tab < 1 || tab > display::kTabCount)
            return;
        d.controls().Check4[tab]->setChecked(checked);
        d.controls().Check4[tab]->setEnabled(enabled);
    };
    peers.clearMeasurement = [&d] { d.tabs().ClearMeasurement(); };
    peers.picturesLoaded = [this, &d](int newestSlot) {
        const QImage& picture = loop_->picture(newestSlot);
        if (!picture.isNull())
            d.zoom().setNaturalSize(display::toTwips(picture.width()),
                                    display::toTwips(picture.height()));
        d.zoom().UpdateScrollRanges();
        d.zoom().SyncScrollBars(false, false);
        d.zoom().placeScrollBars();
        if (d.controls().Check5->isChecked())
            d.zoom().FitWindowToImage();
    };
    peers.showInterval = [&d](int minutes) {
        d.controls().Text4->setText(QString::number(minutes));
    };
    peers.setMapPaneAside = [this] {
        if (!panes_->mapPaneAside())
            panes_->setMapPaneAside();
    };
    peers.setCaption = [this](const QString& caption) { form1_->setWindowTitle(caption); };
    return peers;
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

void MainWindow::showStoppedRefreshControls() {
    const display::DisplayControls& c = display_->controls();
    c.Command7->setText(QStringLiteral("Restart"));
    c.Command9->setText(QStringLiteral("ll"));
    for (QWidget* box : {static_cast<QWidget*>(c.Text4), static_cast<QWidget*>(c.Text2)}) {
        QPalette stopped = box->palette();
        stopped.setColor(QPalette::Base, stopped.color(QPalette::Button));
        box->setPalette(stopped);
    }
    c.Text2->clear();
    form1_->F1ToolT();
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
