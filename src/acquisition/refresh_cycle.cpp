// The auto-refresh cycle: Timer1 counts the interval's minutes and reloads the
// image-page pane; the pane's finished load arms Timer3, which polls the cache
// until a new image is there, fetches it into the next slot and turns the
// ring. Refresh and Replace act on the same cycle.
#include "acquisition/count_down.h"
#include "acquisition/process_texts.h"
#include "acquisition/refresh_process.h"
#include "core/app_identity.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "core/press_button.h"
#include "radar/addresses.h"
#include "radar/site_table.h"
#include "sets/loop_set.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <filesystem>

namespace nubivista::acquisition {

namespace {

constexpr int kReplaceConfirmMsg = 11;

QString tickFailureText(const QString& statusText) {
    return QStringLiteral("\r\n") + statusText +
           QStringLiteral("...Error...Process Will Be Shut-Down.\r\n"
                          "Then, You Can Use The Map To Navigate\r\n"
                          "And Start A New Process.");
}

} // namespace

void RefreshProcess::RefreshImagePage() {
    const platform::ConnectionState connection = internet().connectionState();
    if (connection.connected)
        state_.DialUpFlag = connection.modem ? 1 : 0;
    else if (state_.DialUpFlag == 1)
        internet().dial();
    state_.MinutesElapsed = 0;
    state_.MinuteStartTick = clock().tickCount();
    if (state_.RefreshState == refresh_state::Running)
        panes_.WebBrowser1->refresh();
}

void RefreshProcess::WebBrowser1_DownloadComplete() {
    if (state_.RefreshState != refresh_state::Running)
        return;
    if (!sameAddress(panes_.WebBrowser1->currentAddress(), PaneUrl()))
        return;
    const QString site = radar::SiteCodeFromPaneUrl(PaneUrl()).value_or(QString());
    if (site != loop_.model().siteCode)
        loop_.updateModel([&site](sets::SlotModel& m) { m.siteCode = site; });
    shell_.setWindowTitle(radar::SiteDescriptionFor(site) + QStringLiteral(" - ") +
                          core::kProgramTitle);
    panes_.setMapPaneAside();
    timer3_.setInterval(scaled(kFirstPollMs));
    timer3_.start();
}

void RefreshProcess::Timer1_Timer() {
    state_.MinuteStartTick = clock().tickCount();
    // A resumed minute ran on the paused remainder; the next one is whole.
    if (timer1_.interval() != state_.minuteLengthMs)
        timer1_.setInterval(state_.minuteLengthMs);
    ++state_.MinutesElapsed;
    if (state_.MinutesElapsed >= settings().RefreshIntervalMinutes) {
        state_.NoNewImageCount = 0;
        RefreshImagePage();
    }
}

void RefreshProcess::mnuRefresh_Click() {
    if (state_.RefreshState != refresh_state::Running)
        return;
    timer1_.setInterval(state_.minuteLengthMs);
    state_.NoNewImageCount = 0;
    RefreshImagePage();
}

void RefreshProcess::mnuReplace_Click() {
    if (state_.RefreshState != refresh_state::Running || state_.newImageFlag != 1)
        return;
    if (!messages().isSuppressed(kReplaceConfirmMsg) &&
        messages().ShowMsgWind(4,
                               QStringLiteral("\r\n\r\n\r\nDo You Want To Replace The Last New "
                                              "Image\r\nWith A New, Refreshed, Download Image?"),
                               kReplaceConfirmMsg) != core::MsgYes)
        return;
    if (loop_.filledCount() == 0) {
        messages().ShowMsgWind(1,
                               QStringLiteral("\r\n\r\n\r\nThere Must Be An Image Loaded\r\n"
                                              "Before You Can -Replace- The Last Image."),
                               0);
        return;
    }
    state_.MinuteStartTick = clock().tickCount();
    timer1_.setInterval(state_.minuteLengthMs);
    // The next new image goes into the replaced image's slot; the last image's
    // time and size stay, so only a newer image replaces it.
    loop_.updateModel([](sets::SlotModel& m) { sets::stepRingBack(m); });
    state_.newImageFlag = 0;
    RefreshImagePage();
}

// ---- Timer3: one poll ----

void RefreshProcess::Timer3_Timer() {
    // Downloads and questions wait in a local event loop in which this timer
    // keeps firing; a poll never starts inside another.
    if (inTimer3_)
        return;
    inTimer3_ = true;
    const TickEnd end = runAutoRefreshStep();
    inTimer3_ = false;
    if (end == TickEnd::Failed)
        failTick();
}

RefreshProcess::TickConnection RefreshProcess::connectForTick() {
    platform::ConnectionState connection = internet().connectionState();
    state_.DialUpFlag = connection.modem ? 1 : 0;
    if (connection.connected)
        return TickConnection::Connected;
    if (!connection.modem && messages().MsgBox(3, dialQuestionText()) != core::MsgYes)
        return TickConnection::Declined;
    internet().dial();
    connection = internet().connectionState();
    return connection.connected ? TickConnection::Connected : TickConnection::NotConnected;
}

RefreshProcess::TickEnd RefreshProcess::runAutoRefreshStep() {
    // A poll left over from a process that has ended does nothing.
    if (state_.RefreshState != refresh_state::Running) {
        timer3_.stop();
        return TickEnd::Done;
    }
    if (timer3_.interval() != scaled(kPollIntervalMs))
        timer3_.setInterval(scaled(kPollIntervalMs));

    switch (connectForTick()) {
    case TickConnection::Connected:
        break;
    case TickConnection::Declined:
        return TickEnd::Done;
    case TickConnection::NotConnected:
        state_.statusText = QStringLiteral("Not Connected To Internet");
        return TickEnd::Failed;
    }

    const sets::SlotModel& model = loop_.model();
    const bool firstImage = isFirstImageOfProcess(model);
    const QUrl image(imageAddress());
    const CacheTime cached = CacheTimeOf(internet(), image, clock());
    if (!isNewImage(cached, firstImage, model.lastImageTime, model.lastImageSize, clock())) {
        if (firstImage) {
            // The browser has not cached the image it was to load.
            state_.statusText.clear();
            return TickEnd::Failed;
        }
        if (++state_.NoNewImageCount >= kPollsBeforeReload) {
            state_.NoNewImageCount = 0;
            RefreshImagePage();
        }
        return TickEnd::Done;
    }

    state_.NoNewImageCount = 0;
    const AcceptedImageStep step = stepForAcceptedImage(
        model, cached, static_cast<int>(settings().StampAdjustMinutes), clock());
    // The slot file may still hold a picture of the loop a start keeps until
    // its first image: the first image must read as a picture before it lands.
    bool damaged = false;
    const platform::DownloadResult download =
        downloadCheckedImage(image, loop_.slotFile(step.slot), &damaged);
    if (firstImage && damaged) {
        state_.statusText = QStringLiteral("Image File Is Bad");
        return TickEnd::Failed;
    }
    if (!download.ok) {
        shell_.statusPanel(1)->setText(download.error);
        if (++state_.DownloadFailureCount < kDownloadFailuresAllowed)
            return TickEnd::Done;
        state_.DownloadFailureCount = 0;
        state_.statusText = QStringLiteral("Unable To Get New Files");
        return TickEnd::Failed;
    }
    state_.DownloadFailureCount = 0;

    if (firstImage && !measureFirstImage(step.slot))
        return TickEnd::Failed;
    timer3_.stop();
    storeAcceptedImage(step, true);
    return TickEnd::Done;
}

platform::DownloadResult
RefreshProcess::downloadCheckedImage(const QUrl& image, const QString& slotFile, bool* damaged) {
    // The slot still holds an older image of the loop: a damaged download must
    // not take its place, so it lands beside it and replaces it only once it
    // reads as a picture.
    const QString landed = slotFile + QStringLiteral(".new");
    platform::DownloadResult download = internet().downloadToFile(image, landed);
    if (download.ok && sets::readPicture(landed).isNull()) {
        download = {false, QStringLiteral("The new image is damaged")};
        if (damaged)
            *damaged = true;
    }
    std::error_code error;
    if (download.ok)
        std::filesystem::rename(landed.toStdString(), slotFile.toStdString(), error);
    if (download.ok && error)
        download = {false, QStringLiteral("The new image could not be stored: ") +
                               QString::fromStdString(error.message())};
    if (!download.ok)
        QFile::remove(landed);
    return download;
}

bool RefreshProcess::measureFirstImage(int slot) {
    state_.statusText = QStringLiteral("Image File Is Bad");
    if (!loop_.loadPicture(slot))
        return false;
    state_.statusText = QStringLiteral("Unknown");
    if (display_.clearMeasurement)
        display_.clearMeasurement();
    panes_.setMapPaneAside();
    if (display_.firstImageMeasured)
        display_.firstImageMeasured(slot);
    return true;
}

void RefreshProcess::storeAcceptedImage(const AcceptedImageStep& step, bool saveSet) {
    loop_.storeImage(step.slot, step.slotTime);
    loop_.updateModel([&step](sets::SlotModel& m) { applyAcceptedImageStep(m, step); });
    state_.newImageFlag = 1;
    if (c_.Check1->isChecked() && display_.selectTab)
        display_.selectTab(step.tab);
    if (display_.setSkipBox)
        display_.setSkipBox(step.tab, false, true);
    if (!saveSet)
        return;
    // An unattended process must not stop for a record it could not write;
    // the status bar says so and the next image tries again.
    const sets::SaveOutcome saved = loop_.save();
    if (saved.status == sets::SaveOutcome::Status::Failed)
        shell_.statusPanel(1)->setText(QStringLiteral("Current image set not saved: ") +
                                       saved.error);
}

void RefreshProcess::failTick() {
    timer3_.stop();
    if (inErrorShutDown_)
        return;
    inErrorShutDown_ = true;
    state_.RefreshState = refresh_state::Running;
    c_.Command7->setEnabled(true);
    messages().ShowMsgWind(1, tickFailureText(state_.statusText) + feedReasonLine(), 0);
    state_.ForcedShutDown = 1;
    Command7_Click();
    inErrorShutDown_ = false;
}

} // namespace nubivista::acquisition
