// The watcher's places in the assembled main window: the Places window opened
// from the menu, the places' marks over the radar picture of the loop's site,
// and the pick of a place by a click on that picture.
#include "app/main_window.h"
#include "places/picture_position.h"
#include "radar/site_table.h"

namespace nubivista::app {

namespace {

std::optional<radar::GeoPoint> siteOf(const sets::LoopSet& loop) {
    if (const radar::SiteRow* site = radar::FindSite(loop.model().siteCode))
        return radar::GeoPoint{site->latitude, site->longitude};
    return std::nullopt;
}

} // namespace

void MainWindow::attachPlaces(const MainWindowServices& services) {
    preferences_ = std::make_unique<core::Preferences>(services.paths.preferencesPath);
    places_ = std::make_unique<places::PlacesFile>(services.paths.placesPath, *services.messages);
    frmPlaces_ = std::make_unique<places::frmPlaces>(*places_, *services.messages, *preferences_,
                                                     form1_.get());
    form1_->attachMenuItem(QStringLiteral("mnuPlaces"), [this] { frmPlaces_->showPlaces(); });
    form1_->addWindowToUnload(QStringLiteral("frmPlaces"), frmPlaces_.get());
    // Read once the window is up, so that a line it cannot read is told over it.
    form1_->addFirstActivationStep([this] { places_->load(); });

    // The marks follow the places, the switch, and the loop's site and range.
    QObject::connect(places_.get(), &places::PlacesFile::placesChanged, form1_.get(),
                     [this] { showPlaceMarks(); });
    QObject::connect(frmPlaces_.get(), &places::frmPlaces::showOnPictureChanged, form1_.get(),
                     [this] { showPlaceMarks(); });
    for (auto changed : {&sets::LoopSet::modelReset, &sets::LoopSet::picturesReloaded})
        QObject::connect(loop_.get(), changed, form1_.get(), [this] { showPlaceMarks(); });
    QObject::connect(loop_.get(), &sets::LoopSet::imageStored, form1_.get(),
                     [this] { showPlaceMarks(); });
}

void MainWindow::showPlaceMarks() {
    std::vector<display::PlaceMark> marks;
    const std::optional<radar::GeoPoint> site = siteOf(*loop_);
    if (site && frmPlaces_->showOnPicture()) {
        const bool longRange = form1_->settings().LongRangeFlag != 0;
        for (const places::Place& place : places_->places())
            if (const auto pixel =
                    places::picturePixelOf(*site, longRange, {place.latitude, place.longitude}))
                marks.push_back({place.name, *pixel});
    }
    display_->controls().Image1->setPlaceMarks(std::move(marks));
}

void MainWindow::pickPlace(QPointF twipsInPicture) {
    const std::optional<radar::GeoPoint> site = siteOf(*loop_);
    if (!site) {
        frmPlaces_->pickedOnPicture(std::nullopt);
        return;
    }
    const core::Settings& settings = form1_->settings();
    frmPlaces_->pickedOnPicture(places::pointOnPicture(*site, settings.LongRangeFlag != 0,
                                                       settings.ZoomFactor, twipsInPicture));
}

} // namespace nubivista::app
