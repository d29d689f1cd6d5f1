// The radar's storm cells in the assembled main window: each stored image's
// cells asked of the feed and kept beside it, drawn over the loop while the
// "Storm Tracks" menu item is checked, and the approach alarm for the places
// when the newest image's cells come in.
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
// Cells of an older scan than this say nothing about what comes now: a loop
// filled from the past raises no alarms.
constexpr qint64 kAlarmScanAgeSeconds = 30 * 60;

} // namespace

void MainWindow::attachStorms(const MainWindowServices& services) {
    stormShelf_ = std::make_unique<StormShelf>(*loop_);
    stormKeeper_ = std::make_unique<acquisition::StormCellsKeeper>(*sourceNotice_, *loop_);
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

    QAction* item = form1_->menuItem(kStormTracksItem);
    item->setChecked(preferences_->flag(kStormTracksKey, true));
    form1_->attachMenuItem(kStormTracksItem, [this] {
        preferences_->setFlag(kStormTracksKey, stormTracksShown());
        showStormMarks();
    });

    display_->peers().overlayOf = [this](int slot) {
        display::PictureOverlay overlay;
        overlay.places = display_->controls().Image1->placeMarks();
        const radar::SiteRow* site = radar::FindSite(loop_->model().siteCode);
        if (site && stormTracksShown())
            overlay.storms = stormShelf_->marksOf(slot, {site->latitude, site->longitude},
                                                  form1_->settings().LongRangeFlag != 0);
        return overlay;
    };

    QObject::connect(loop_.get(), &sets::LoopSet::imageStored, form1_.get(), [this](int slot) {
        stormShelf_->forget(slot);
        const std::optional<core::OleDate> scan =
            core::oleAddMinutes(loop_->model().slotTime[slot],
                                -static_cast<int>(form1_->settings().StampAdjustMinutes));
        stormKeeper_->imageStored(slot, scan ? core::oleToDateTime(*scan, Qt::UTC) : QDateTime());
        showStormMarks();
    });
    QObject::connect(loop_.get(), &sets::LoopSet::slotChanged, form1_.get(), [this](int slot) {
        stormShelf_->forget(slot);
        showStormMarks();
    });
    for (auto changed : {&sets::LoopSet::modelReset, &sets::LoopSet::picturesReloaded})
        QObject::connect(loop_.get(), changed, form1_.get(), [this] {
            stormShelf_->forgetAll();
            showStormMarks();
        });
    QObject::connect(stormKeeper_.get(), &acquisition::StormCellsKeeper::cellsStored, form1_.get(),
                     [this, clock = services.clock](int slot) {
                         stormShelf_->forget(slot);
                         showStormMarks();
                         raiseStormAlarms(slot, *clock);
                     });
}

bool MainWindow::stormTracksShown() const {
    const QAction* item = form1_->menuItem(kStormTracksItem);
    return item && item->isChecked();
}

void MainWindow::showStormMarks() {
    const int slot = display_->tabs().shownSlot();
    display_->controls().Image1->setStormMarks(
        slot >= 1 && loop_->filled(slot) ? display_->peers().overlayOf(slot).storms : nullptr);
}

void MainWindow::raiseStormAlarms(int slot, const core::Clock& clock) {
    if (slot != loop_->model().newestSlot)
        return;
    const std::optional<tracking::StormScanCells>& cells = stormShelf_->cellsOf(slot);
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

} // namespace nubivista::app
