// Starting a process: the map click that picks a site, and StartAutoRefresh,
// which checks the connection, asks, stops a running process, clears the
// slots and sets the panes and timers going.
#include "acquisition/count_down.h"
#include "acquisition/refresh_process.h"
#include "core/app_identity.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "core/press_button.h"
#include "radar/addresses.h"
#include "radar/products.h"
#include "sets/loop_set.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace nubivista::acquisition {

namespace {

constexpr int kConfirmStartMsg = 14;

QString mustBeOnlineText() {
    return QStringLiteral("\r\nYou Must Be Connected To The Internet,\r\n"
                          "And In The -Working Online- State,\r\n"
                          "To Navigate And Download Radar Images.\r\n"
                          "You Can Use The ") +
           core::kProgramTitle +
           QStringLiteral(" Main Menu\r\n"
                          "To Connect To The Internet And\r\n"
                          "To UnCheck -Working Offline-");
}

QString confirmStartText(bool processRunning) {
    if (processRunning)
        return QStringLiteral("\r\nConfirm:\r\n"
                              "Do You Want To Shut-Down The Current Auto-Refresh Process,\r\n"
                              "And Start A New Process For The Selected Site?\r\n"
                              "Note:\r\n"
                              "Current Images, 1-20, Will Be Cleared.");
    return QStringLiteral("\r\nConfirm:\r\n"
                          "Do You Want To Start The Auto-Refresh\r\n"
                          "Process For The Selected Site?\r\n"
                          "Note:\r\n"
                          "Current Images, 1-20, Will Be Cleared.");
}

QString notRadarPageText() {
    return QStringLiteral("Current Web Page Is Not A National Weather Service\n"
                          "Radar Page. Auto-Refresh Process Is Not Posible.");
}

QString productNotRecognisedText() {
    return QStringLiteral("\r\n\r\nThe Current Web Page URL Is Not A  \r\n"
                          "National Weather Service Radar Page.\r\n"
                          "Auto-Refresh Process Is Not Posible.");
}

// The program's own pages, as a file path or a file address.
bool isLocalPage(const QString& lowerAddress, const core::AppPaths& paths) {
    for (const core::LocalPage* page : {&paths.beginNav, &paths.beginLoopNav, &paths.startBlank,
                                        &paths.appClose, &paths.feedProblem}) {
        if (lowerAddress == page->path.toLower() || lowerAddress == page->url.toString().toLower())
            return true;
    }
    return false;
}

// LongRangeFlag and the map scale the measurement uses follow the product.
void applyProductRange(core::Settings& settings, const radar::RecognizedProduct& product) {
    settings.LongRangeFlag = product.longRange ? 1 : 0;
    settings.MapScaleActive =
        product.mapScale == radar::MapScaleChoice::Long ? settings.MapScaleLong : settings.MapScale;
}

} // namespace

void RefreshProcess::WebBrowser2_BeforeNavigate2(const QUrl& address, bool& cancel) {
    const QString lower = address.toString().toLower();
    const QString mapUrl = settings().NationalMapUrl.trimmed();
    // The map itself and the program's own pages load as they are; so do the
    // engine's own blank pages, which are no link a user clicked.
    if (lower == QLatin1String("http:///") || lower == mapUrl.toLower() ||
        lower == QUrl(mapUrl).toString().toLower() || isLocalPage(lower, shell_.paths()) ||
        address.scheme() == QLatin1String("about"))
        return;

    cancel = true;
    // Both continue after the engine has had its answer: a question or a
    // navigation from inside its navigation request is not safe.
    if (const std::optional<radar::SiteLink> link = radar::ParseSiteLink(lower)) {
        int index = c_.Combo1->currentIndex();
        if (index < 0) {
            index = 0;
            c_.Combo1->setCurrentIndex(0);
        }
        state_.startAddress = radar::SitePageUrl(
            link->hostLabel, radar::ProductForChoice(index, c_.Check2->isChecked()), link->siteCode,
            c_.Check3->isChecked());
        QTimer::singleShot(0, this, [this] { StartAutoRefresh(); });
        return;
    }
    const QString target = address.toString();
    QTimer::singleShot(0, this, [this, target] {
        if (services_.openInNewWindow)
            services_.openInNewWindow(target);
    });
}

void RefreshProcess::clearSlotForStart(int slot, int tabToSelect) {
    loop_.clearSlot(slot);
    loop_.updateModel([slot](sets::SlotModel& m) { m.slotTime[slot] = 0; });
    if (display_.selectTab)
        display_.selectTab(tabToSelect);
    if (display_.setSkipBox)
        display_.setSkipBox(loop_.tabForSlot(slot), false, false);
}

void RefreshProcess::StartAutoRefresh() {
    if (!state_.backDateCall) {
        const platform::ConnectionState connection = internet().connectionState();
        if (connection.offline || state_.OfflineFlag != 0) {
            if (!internet().goOnline()) {
                messages().ShowMsgWind(1, mustBeOnlineText(), 0);
                return;
            }
            state_.OfflineFlag = 0;
        }
        if (!messages().isSuppressed(kConfirmStartMsg) &&
            messages().ShowMsgWind(4, confirmStartText(state_.RefreshState != 0),
                                   kConfirmStartMsg) != core::MsgYes)
            return;
        // Nothing of the loop is lost until the new process has its first image.
        if (!loop_.holdingForStart()) {
            tabBeforeStart_ = display_.selectedTab ? display_.selectedTab() : 0;
            captionBeforeStart_ = shell_.windowTitle();
        }
        loop_.holdForStart();
        if (state_.RefreshState == refresh_state::Running) {
            state_.RefreshState = refresh_state::Stopped;
            c_.Command9->setText(QStringLiteral("ll"));
            timer1_.stop();
            timer3_.stop();
            state_.MinutesElapsed = 0;
            state_.MinuteStartTick = clock().tickCount();
            showStoppedLook();
        }
        // A back-dated start still waiting for its loop page is dropped.
        timer5_.stop();
        const CacheTime fresh = lastImageOfNewProcess(clock());
        loop_.updateModel([&fresh](sets::SlotModel& m) {
            m.newestSlot = 0;
            m.lastImageTime = fresh.time;
            m.lastImageSize = fresh.size;
        });
    } else {
        state_.backDateCall = false;
    }

    const int firstSlotToClear = loop_.model().newestSlot + 1;
    const bool restart = state_.RefreshState == refresh_state::BackDatedRestart;
    loop_.updateModel([restart](sets::SlotModel& m) {
        m.paneUrl.clear();
        if (!restart) {
            m.ringOffset = 0;
            m.wrapState = sets::kFillingFirstTime;
        }
    });
    shell_.setWindowTitle(core::kProgramTitle);

    const QString start = state_.startAddress;
    const radar::RadarPageKind kind = radar::ClassifyRadarPage(start);
    if (kind == radar::RadarPageKind::NotRadarPage) {
        messages().MsgBox(1, notRadarPageText());
        restoreLoopOfFailedStart();
        return;
    }
    if (kind == radar::RadarPageKind::Loop) {
        // The first half of a back-dated start: the loop page loads, and
        // with it the images the start takes from the cache.
        panes_.WebBrowser2->navigate(shell_.paths().beginLoopNav.url);
        panes_.WebBrowser1->navigate(shell_.paths().startBlank.url);
        loop_.updateModel([&start](sets::SlotModel& m) { m.paneUrl = start; });
        state_.RefreshState = refresh_state::LoopPageLoading;
        c_.Command7->setEnabled(true);
        panes_.WebBrowser1->navigate(QUrl(start));
        for (int slot = sets::kSlotCount; slot >= 1; --slot)
            clearSlotForStart(slot, slot);
        return;
    }

    const QString paneUrl = radar::PaneUrl(start, settings().NavsGoToPageUrl != 0);
    const QString imageUrl = radar::SiteImageUrl(start);
    loop_.updateModel([&](sets::SlotModel& m) {
        m.paneUrl = paneUrl;
        m.siteImageUrl = imageUrl;
    });
    const std::optional<radar::RecognizedProduct> product = radar::RecognizeProduct(paneUrl);
    if (!product) {
        messages().ShowMsgWind(1, productNotRecognisedText(), 0);
        restoreLoopOfFailedStart();
        return;
    }
    applyProductRange(settings(), *product);

    if (!restart) {
        for (int slot = sets::kSlotCount; slot >= firstSlotToClear; --slot) {
            // Clearing after back-dated images ends on the newest of them.
            const int tab = slot == firstSlotToClear && firstSlotToClear > 1 ? slot - 1 : slot;
            clearSlotForStart(slot, tab);
        }
    }
    loop_.save();

    state_.RefreshState = refresh_state::Running;
    c_.Command7->setEnabled(true);
    panes_.WebBrowser2->navigate(shell_.paths().beginNav.url);
    panes_.WebBrowser1->navigate(shell_.paths().startBlank.url);
    panes_.WebBrowser1->navigate(QUrl(paneUrl));
    showCaptionForCommand7(true);
    c_.Command9->setText(QStringLiteral("ll"));

    state_.MinutesElapsed = 0;
    state_.MinuteStartTick = clock().tickCount();
    restartTimer1();
    showRunningLook();
}

void RefreshProcess::restoreLoopOfFailedStart() {
    if (!loop_.restoreHeld())
        return;
    // The files and the record on disk were never touched: the model that is
    // back shows them again, measured at its own product's range.
    if (const std::optional<radar::RecognizedProduct> product = radar::RecognizeProduct(PaneUrl()))
        applyProductRange(settings(), *product);
    shell_.setWindowTitle(captionBeforeStart_);
    if (display_.selectTab && tabBeforeStart_ >= 1)
        display_.selectTab(tabBeforeStart_);
}

} // namespace nubivista::acquisition
