// The radar's storm cells and the weather service's warnings in the assembled
// main window: each stored image's cells and warnings asked of the feed and
// kept beside it, drawn over the loop while the "Storm Tracks" and "Warnings"
// menu items are checked, and the approach and warning alarms for the places
// when the newest image's come in.
#include "app/main_window.h"
#include "core/message_service.h"
#include "core/ole_date.h"
#include "display/tab_display.h"
#include "display/time_text.h"
#include "places/watched_places.h"
#include "radar/site_table.h"

#include <QAction>
#include <QTimer>

namespace nubivista::app {

namespace {

const QString kStormTracksItem = QStringLiteral("mnuStormTracks");
const QString kWarningsItem = QStringLiteral("mnuWarnings");
// Cells of an older scan than this say nothing about what comes now: a loop
// filled from the past raises no alarms.
constexpr qint64 kAlarmScanAgeSeconds = 30 * 60;

} // namespace

void MainWindow::attachStorms(const MainWindowServices& services) {
    overlayShelf_ = std::make_unique<OverlayShelf>(*loop_);
    imageCompanions_ = std::make_unique<acquisition::ImageCompanions>(*sourceNotice_, *loop_);
    alarmNotifier_ = std::make_unique<tracking::AlarmNotifier>(
        QDBusConnection::sessionBus(),
        [messages = services.messages,
         form = QPointer<QWidget>(form1_.get())](const QString& summary, const QString& body) {
            // After the caller has returned: the message window waits for
            // its answer, and the loop and the refresh go on meanwhile.
            QTimer::singleShot(0, form, [messages, summary, body] {
                messages->ShowMsgWind(1, summary + QStringLiteral("\r\n\r\n") + body, 0);
            });
        });

    for (const auto& [name, key] :
         {std::pair{kStormTracksItem, kStormTracksKey}, std::pair{kWarningsItem, kWarningsKey}}) {
        form1_->menuItem(name)->setChecked(preferences_->flag(key, true));
        form1_->attachMenuItem(name, [this, name, key] {
            preferences_->setFlag(key, menuChecked(name));
            showOverlay();
        });
    }

    display_->peers().overlayOf = [this](int slot) {
        display::PictureOverlay overlay;
        overlay.places = display_->controls().Image1->placeMarks();
        const radar::SiteRow* site = radar::FindSite(loop_->model().siteCode);
        if (site == nullptr)
            return overlay;
        const radar::GeoPoint radar{site->latitude, site->longitude};
        const bool longRange = form1_->settings().LongRangeFlag != 0;
        if (menuChecked(kStormTracksItem))
            overlay.storms = overlayShelf_->marksOf(slot, radar, longRange);
        if (menuChecked(kWarningsItem))
            overlay.warnings =
                overlayShelf_->warningMarksOf(slot, scanTimeOf(slot), radar, longRange);
        return overlay;
    };

    QObject::connect(loop_.get(), &sets::LoopSet::imageStored, form1_.get(), [this](int slot) {
        overlayShelf_->forget(slot);
        imageCompanions_->imageStored(slot, scanTimeOf(slot));
        showOverlay();
    });
    QObject::connect(loop_.get(), &sets::LoopSet::slotChanged, form1_.get(), [this](int slot) {
        overlayShelf_->forget(slot);
        showOverlay();
    });
    for (auto changed : {&sets::LoopSet::modelReset, &sets::LoopSet::picturesReloaded})
        QObject::connect(loop_.get(), changed, form1_.get(), [this] {
            overlayShelf_->forgetAll();
            showOverlay();
        });
    QObject::connect(imageCompanions_.get(), &acquisition::ImageCompanions::cellsStored,
                     form1_.get(), [this, clock = services.clock](int slot) {
                         overlayShelf_->forget(slot);
                         showOverlay();
                         raiseStormAlarms(slot, *clock);
                     });
    QObject::connect(imageCompanions_.get(), &acquisition::ImageCompanions::warningsStored,
                     form1_.get(), [this, clock = services.clock](int slot) {
                         overlayShelf_->forget(slot);
                         showOverlay();
                         raiseWarningAlarms(slot, *clock);
                     });
}

QDateTime MainWindow::scanTimeOf(int slot) const {
    const std::optional<core::OleDate> scan = core::oleAddMinutes(
        loop_->model().slotTime[slot], -static_cast<int>(form1_->settings().StampAdjustMinutes));
    return scan ? core::oleToDateTime(*scan, Qt::UTC) : QDateTime();
}

bool MainWindow::menuChecked(const QString& item) const {
    const QAction* action = form1_->menuItem(item);
    return action && action->isChecked();
}

void MainWindow::showOverlay() {
    const int slot = display_->tabs().shownSlot();
    const display::PictureOverlay overlay = slot >= 1 && loop_->filled(slot)
                                                ? display_->peers().overlayOf(slot)
                                                : display::PictureOverlay{};
    display_->controls().Image1->setStormMarks(overlay.storms);
    display_->controls().Image1->setWarningMarks(overlay.warnings);
}

void MainWindow::raiseStormAlarms(int slot, const core::Clock& clock) {
    if (slot != loop_->model().newestSlot)
        return;
    const std::optional<tracking::StormScanCells>& cells = overlayShelf_->cellsOf(slot);
    if (!cells || cells->scanTime.secsTo(clock.now().toUTC()) > kAlarmScanAgeSeconds)
        return;
    const int timeMode = form1_->settings().TimeDisplayMode;
    const auto timeText = [&clock, timeMode](const QDateTime& utc) {
        const std::optional<core::OleDate> ole = core::oleFromDateTime(utc.toUTC());
        return ole ? display::timeText(*ole, timeMode, clock).value_or(QString()) : QString();
    };
    for (const tracking::StormAlarm& alarm :
         stormWatch_.consider(*cells, places::watchedPlaces(places_->places()))) {
        alarmNotifier_->show(alarm, alarm.body(timeText));
        form9_->addRow(alarm.etaListText());
    }
}

void MainWindow::raiseWarningAlarms(int slot, const core::Clock& clock) {
    if (slot != loop_->model().newestSlot)
        return;
    const std::optional<tracking::WarningsSnapshot>& warnings = overlayShelf_->warningsOf(slot);
    if (!warnings)
        return;
    for (const tracking::WarningAlarm& alarm : warningWatch_.consider(
             *warnings, places::watchedPlaces(places_->places()), clock.now().toUTC())) {
        alarmNotifier_->show(alarm.summary(), alarm.body(), alarm.critical());
        form9_->addRow(alarm.etaListText());
    }
}

} // namespace nubivista::app
