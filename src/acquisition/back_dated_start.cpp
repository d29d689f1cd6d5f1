// The back-dated start: once the loop page has loaded, its list and images are
// in the cache; the images of the last hour at the interval's spacing go into
// the first slots, and the ordinary process starts on the latest page.
#include "acquisition/back_date.h"
#include "acquisition/refresh_process.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "core/press_button.h"
#include "core/wait_ticks.h"
#include "radar/addresses.h"
#include "sets/loop_set.h"

namespace nubivista::acquisition {

void RefreshProcess::Timer5_Timer() {
    timer5_.stop();
    BackDatedStart(PaneUrl());
}

void RefreshProcess::BackDatedStart(const QString& loopPageUrl) {
    if (inBackDate_)
        return;
    inBackDate_ = true;
    BackDateEnd end = runBackDatedStart(loopPageUrl);
    if (end == BackDateEnd::SoftFailure) {
        // Whatever was loaded stays; the user may still start on the latest page.
        end = messages().ShowMsgWind(kBackDateQuestionKind,
                                     BackDateQuestionText() + feedReasonLine(), 0) == core::MsgYes
                  ? BackDateEnd::Started
                  : BackDateEnd::HardFailure;
        if (end == BackDateEnd::Started)
            handOverToLatestPage(loopPageUrl);
    }
    if (end == BackDateEnd::HardFailure)
        backDateHardFailure();
    inBackDate_ = false;
}

RefreshProcess::BackDateEnd RefreshProcess::runBackDatedStart(const QString& loopPageUrl) {
    state_.statusText.clear();
    const auto fail = [this](BackDateFault fault) {
        const BackDateOutcome outcome = OutcomeOf(fault);
        if (outcome.statusText)
            state_.statusText = *outcome.statusText;
        return outcome.severity == BackDateSeverity::Soft ? BackDateEnd::SoftFailure
                                                          : BackDateEnd::HardFailure;
    };
    if (!IsBackDateStartAddress(loopPageUrl))
        return fail(BackDateFault::NotLoopPage);

    const core::OleDate localNow = core::oleFromDateTime(clock().now()).value_or(0);
    const std::optional<QString> listUrl = radar::LoopListUrl(loopPageUrl);
    if (!listUrl)
        return fail(BackDateFault::ListNotCached);
    const CacheTime listEntry = CacheTimeOf(internet(), QUrl(*listUrl), clock());
    if (!IsUsableListEntry(listEntry.time, listEntry.size, localNow))
        return fail(BackDateFault::ListNotCached);

    const QString listFile = LoopListFilePath(shell_.paths().loopImagesDir);
    if (!internet().downloadToFile(QUrl(*listUrl), listFile).ok)
        return fail(BackDateFault::ListDownloadFailed);
    const LoopList list = ReadLoopList(listFile, loopPageUrl);
    if (list.fault)
        return fail(*list.fault);

    const bool restart = state_.RefreshState == refresh_state::BackDatedRestart;
    const int interval = settings().RefreshIntervalMinutes;
    BackDateChoiceInput choice;
    choice.refreshIntervalMinutes = interval;
    choice.loadAll = settings().LoadAllBackDateFiles != 0;
    choice.nowUtc = NowUtc(clock());
    if (restart)
        choice.restartCutoffUtc = RestartCutoffUtc(loop_.model().lastImageTime, interval, clock());
    const BackDateSelection selection = ChooseBackDateImages(list.entries, choice);
    if (selection.fault)
        return fail(*selection.fault);

    if (!restart)
        loop_.updateModel([](sets::SlotModel& m) { m.newestSlot = 0; });
    // The newest selected image's cache entry becomes the last image, so the
    // first poll takes only a newer one.
    std::optional<CacheTime> newestSelected;
    for (const LoopListEntry& entry : selection.loadOrder()) {
        const QUrl image(entry.imageUrl);
        const CacheTime cached = CacheTimeOf(internet(), image, clock());
        newestSelected = cached;
        // An image the browser did not cache is left out without a word.
        if (!IsCachedCopy(cached.time, localNow))
            continue;
        AcceptedImageStep step = stepForAcceptedImage(loop_.model(), cached, 0, clock());
        const QString slotFile = loop_.slotFile(step.slot);
        const bool first = IsFirstImageOfNewProcess(state_.RefreshState, loop_.model().newestSlot);
        // Until the first image is in, the slot files hold the loop the start
        // keeps: that image lands only once it reads as a picture.
        bool damaged = false;
        const auto download = [&] {
            return first ? downloadCheckedImage(image, slotFile, &damaged).ok
                         : internet().downloadToFile(image, slotFile).ok;
        };
        if (!download() && !damaged) {
            core::WaitTicks(scaled(kImageRetryWaitMs), clock());
            if (!download() && !damaged) {
                state_.statusText = QStringLiteral("Unable To Get New Files");
                return BackDateEnd::SoftFailure;
            }
        }
        if (first && (damaged || !measureFirstImage(step.slot))) {
            state_.statusText = QStringLiteral("Image File Is Bad");
            return BackDateEnd::HardFailure;
        }
        // The list's own time, with no adjustment.
        step.slotTime = entry.utcTime;
        // Each image is saved with the record as it comes, so that a start
        // ending half-way leaves a record that matches the slot files.
        storeAcceptedImage(step, true);
    }
    if (newestSelected) {
        const CacheTime last = *newestSelected;
        loop_.updateModel([&last](sets::SlotModel& m) {
            m.lastImageTime = last.time;
            m.lastImageSize = last.size;
        });
    }
    handOverToLatestPage(loopPageUrl);
    return BackDateEnd::Started;
}

void RefreshProcess::handOverToLatestPage(const QString& loopPageUrl) {
    state_.startAddress = radar::LatestPageUrl(loopPageUrl);
    state_.backDateCall = true;
    c_.Command7->setEnabled(true);
    StartAutoRefresh();
}

void RefreshProcess::backDateHardFailure() {
    const bool restart = state_.RefreshState == refresh_state::BackDatedRestart;
    messages().ShowMsgWind(kBackDateErrorKind,
                           BackDateErrorText(state_.statusText, restart) + feedReasonLine(), 0);
    forceShutDown();
}

} // namespace nubivista::acquisition
