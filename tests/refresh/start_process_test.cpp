// Starting a process from the map pane: the site click and its question, the
// connection check, a click while a process runs, the Back-Date loop page, and
// the links and pages the map pane keeps for itself; the panes' events: new
// windows, and navigation errors with the national map's fallback ring and the
// forced shut-down of a process.
#include "acquisition/feed_process.h"
#include "core/app_identity.h"
#include "display/tab_display.h"
#include "radar/addresses.h"
#include "refresh_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace nubivista;
using nubivista::testing::kNavigateErrorText;
using nubivista::testing::kSiteLink;
using nubivista::testing::kTimeOutStatus;
using nubivista::testing::readBytes;
using nubivista::testing::RefreshTest;
using nubivista::testing::tickFailureText;
using platform::testing::FakeBrowserPane;

namespace {

using StartProcessTest = RefreshTest;
using acquisition::refresh_state::Running;
using acquisition::refresh_state::Stopped;

const QString kStartQuestion =
    QStringLiteral("\r\nConfirm:\r\nDo You Want To Start The Auto-Refresh\r\nProcess For The "
                   "Selected Site?\r\nNote:\r\nCurrent Images, 1-20, Will Be Cleared.");

TEST_F(StartProcessTest, SiteClickStartsOnceConfirmedOrWhenTheQuestionIsOff) {
    struct Case {
        const char* name;
        int answer;
        bool suppressed;
        bool starts;
    };
    for (const Case& c :
         {Case{"yes", core::MsgYes, false, true}, Case{"no", core::MsgNo, false, false},
          Case{"switched off", core::MsgNo, true, true}}) {
        SCOPED_TRACE(c.name);
        settings.MsgOffMap[13] = QLatin1Char(c.suppressed ? '1' : '0');
        remakeWindow();
        fillSlots(3);
        shown.clear();
        answer = c.answer;
        const qsizetype imageLoads = imagePane()->navigations.size();

        mapPane()->navigate(QUrl(kSiteLink));
        EXPECT_NE(mapPane()->current, QUrl(kSiteLink)) << "the click never loads in the map pane";
        EXPECT_TRUE(shown.isEmpty()) << "nothing is asked inside the navigation";
        turn();

        ASSERT_EQ(timesAsked(14), c.suppressed ? 0 : 1);
        if (!c.suppressed) {
            EXPECT_EQ(shown.first().text, kStartQuestion);
        }
        if (!c.starts) {
            EXPECT_EQ(refreshState(), Stopped);
            EXPECT_EQ(loop().filledCount(), 3);
            EXPECT_EQ(imagePane()->navigations.size(), imageLoads);
            continue;
        }
        EXPECT_EQ(refreshState(), Running);
        EXPECT_EQ(loop().filledCount(), 0);
        EXPECT_TRUE(refresh().PaneUrl().contains(QLatin1String("kmkx"), Qt::CaseInsensitive));
        EXPECT_EQ(imagePane()->current, QUrl(refresh().PaneUrl()));
        ASSERT_GE(imagePane()->navigations.size(), imageLoads + 2);
        EXPECT_EQ(imagePane()->navigations.at(imagePane()->navigations.size() - 2).address,
                  paths.startBlank.url);
        EXPECT_EQ(mapPane()->current, paths.beginNav.url);
        EXPECT_TRUE(offersShutDown());
        EXPECT_TRUE(refresh().Timer1()->isActive());
        EXPECT_EQ(model().lastImageSize, -1);
    }
}

TEST_F(StartProcessTest, OfflineThatCannotGoOnlineStartsNothing) {
    net.state.offline = true;
    net.goOnlineResult = false;
    clickSite();
    const QString expected =
        QStringLiteral("\r\nYou Must Be Connected To The Internet,\r\nAnd In The -Working Online- "
                       "State,\r\nTo Navigate And Download Radar Images.\r\nYou Can Use The ") +
        core::kProgramTitle +
        QStringLiteral(" Main Menu\r\nTo Connect To The Internet And\r\nTo UnCheck -Working "
                       "Offline-");
    EXPECT_EQ(texts(), QStringList{expected});
    EXPECT_EQ(refreshState(), Stopped);
    EXPECT_TRUE(refresh().PaneUrl().isEmpty());

    // Once the switch works the same click goes online and starts.
    net.goOnlineResult = true;
    shown.clear();
    clickSite();
    EXPECT_EQ(refreshState(), Running);
    EXPECT_FALSE(net.state.offline);
    EXPECT_EQ(timesAsked(14), 1);
}

TEST_F(StartProcessTest, ClickWhileRunningStopsTheProcessAndClearsItsImages) {
    storeImages(2);
    emit imagePane()->downloadComplete(); // the next poll is armed
    ASSERT_TRUE(refresh().Timer3()->isActive());

    clickSite();
    ASSERT_EQ(timesAsked(14), 1);
    EXPECT_TRUE(shown.first().text.contains(
        QLatin1String("Do You Want To Shut-Down The Current Auto-Refresh Process,")));
    EXPECT_FALSE(refresh().Timer3()->isActive());
    EXPECT_EQ(refreshState(), Running);
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(model().lastImageSize, -1);
    // The new process takes its first image afresh.
    emit imagePane()->downloadComplete();
    publishImage(1);
    poll();
    EXPECT_EQ(model().newestSlot, 1);
}

TEST_F(StartProcessTest, BackDateBoxLoadsTheLoopPageWithAllSlotsCleared) {
    fillSlots(20);
    controls().Check3->setChecked(true);
    clickSite();
    EXPECT_EQ(refreshState(), acquisition::refresh_state::LoopPageLoading);
    EXPECT_EQ(loop().filledCount(), 0);
    for (int slot = 1; slot <= sets::kSlotCount; ++slot)
        EXPECT_EQ(model().slotTime[slot], 0.0) << slot;
    EXPECT_TRUE(refresh().PaneUrl().contains(QLatin1String("/radar/loop/"), Qt::CaseInsensitive));
    EXPECT_EQ(mapPane()->current, paths.beginLoopNav.url);
    // Once the loop page has loaded the back-dated start is a second away.
    emit imagePane()->documentComplete(QUrl(refresh().PaneUrl()));
    EXPECT_EQ(imagePane()->current, paths.startBlank.url);
    EXPECT_EQ(mapPane()->current, paths.startBlank.url);
    EXPECT_TRUE(refresh().Timer5()->isActive());
    EXPECT_EQ(refresh().Timer5()->interval(), 1000);
}

TEST_F(StartProcessTest, OtherLinksGoToTheRelayAndOwnPagesLoadAsTheyAre) {
    const QUrl other(QStringLiteral("http://www.nws.noaa.gov/forecasts/index.html"));
    const QUrl before = mapPane()->current;
    mapPane()->navigate(other);
    EXPECT_EQ(mapPane()->current, before);
    EXPECT_TRUE(newWindows.isEmpty()) << "opened only after the navigation was answered";
    turn();
    EXPECT_EQ(newWindows, QStringList{other.toString()});

    for (const QUrl& own : {QUrl(settings.NationalMapUrl.toUpper()), paths.startBlank.url,
                            paths.beginNav.url, paths.beginLoopNav.url}) {
        mapPane()->navigate(own);
        EXPECT_EQ(mapPane()->current, own) << own.toString().toStdString();
    }
    turn();
    EXPECT_EQ(newWindows.size(), 1);
    EXPECT_TRUE(shown.isEmpty());
}

// A start that ends before its first image gives the loop back: the slot
// files, the record, the tabs and the caption are as before the click, and
// Restart continues the loop's own process with its product in the box. The
// first image of a start makes the clearing hold.
TEST_F(StartProcessTest, AStartEndingBeforeItsFirstImageShowsTheLoopAgain) {
    const QString corrupt = home.filePath(QStringLiteral("corrupt.gif"));
    ASSERT_TRUE(nubivista::testing::writeBytes(corrupt, "GIF89a this is no picture"));
    const auto navigateError = [this] {
        emit imagePane()->navigateError(QUrl(refresh().PaneUrl()), kTimeOutStatus);
    };
    struct Case {
        const char* name;
        bool backDate;
        std::function<void()> fail;
        QString message; // empty: the user's own Shut-Down, asked as usual
    };
    const std::vector<Case> cases = {
        {"image page answers an error", false, navigateError, kNavigateErrorText},
        {"loop page answers an error", true, navigateError, kNavigateErrorText},
        {"first image damaged", false,
         [&] {
             emit imagePane()->downloadComplete();
             publishImage(1, corrupt);
             poll();
         },
         tickFailureText(QStringLiteral("Image File Is Bad"))},
        {"shut down before the first image", false, [this] { controls().Command7->click(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        remakeWindow();
        for (const QString& name : QDir(nubivista::testing::sampleSetDir()).entryList(QDir::Files))
            ASSERT_TRUE(nubivista::testing::writeBytes(
                paths.loopImagesDir + u'/' + name,
                readBytes(nubivista::testing::sampleSetDir() + u'/' + name)));
        form().menuItem(QStringLiteral("mnuReOpenCurrSet"))->trigger();
        form().Timer6_Timer();
        ASSERT_EQ(loop().filledCount(), 11);
        display().tabs().selectTab(3);
        const auto files = nubivista::testing::folderContents(paths.loopImagesDir);
        const sets::SlotModel before = model();
        const QString caption = form().windowTitle();
        controls().Check3->setChecked(c.backDate);

        clickSite();
        ASSERT_EQ(loop().filledCount(), 0);
        shown.clear();
        c.fail();
        ASSERT_FALSE(shown.isEmpty());
        if (c.message.isEmpty())
            EXPECT_EQ(shown.last().id, 5);
        else
            EXPECT_EQ(texts(), QStringList{c.message});
        EXPECT_EQ(refreshState(), Stopped);
        EXPECT_EQ(nubivista::testing::folderContents(paths.loopImagesDir), files);
        EXPECT_EQ(model(), before);
        EXPECT_EQ(display().tabs().selectedTab(), 3);
        EXPECT_EQ(form().windowTitle(), caption);

        controls().Check3->setChecked(false);
        controls().Command7->click(); // Restart
        EXPECT_EQ(refreshState(), Running);
        EXPECT_EQ(refresh().PaneUrl(), before.paneUrl);
    }
    // Once the first image is in, the start's clearing holds and is saved.
    clickSite();
    emit imagePane()->downloadComplete();
    publishImage(1);
    poll();
    EXPECT_EQ(loop().filledCount(), 1);
    EXPECT_EQ(readBytes(paths.setRecPath), sets::encodeSetRecord(sets::setRecordFromModel(
                                               model(), settings.RefreshIntervalMinutes)));
}

using PaneEventsTest = RefreshTest;

TEST_F(PaneEventsTest, TheMapWaitsForTheProgramsFeedAndComesOnceAMissingFeedIsPutBack) {
    QTemporaryDir dir;
    const QString program = dir.filePath("nubivista-feed");
    acquisition::FeedProcess feed(program, {});
    feed.setPauses(50, 50);
    feedProcess = &feed;
    remakeWindow();
    const QUrl map = window->panes().nationalMapUrl();
    window->panes().showNationalMap();
    EXPECT_NE(mapPane()->currentAddress().toString(), map.toString())
        << "loaded before the feed, the map would fail";

    feed.start();
    EXPECT_EQ(mapPane()->currentAddress().toString(), paths.feedProblem.url.toString())
        << "the missing feed is told";
    ASSERT_TRUE(nubivista::testing::writeScript(
        program, "echo 'nubivista-feed listening on http://127.0.0.1:4242/'\nsleep 5\n"));
    QSignalSpy ready(&feed, &acquisition::FeedProcess::ready);
    ASSERT_TRUE(ready.wait(10000));
    EXPECT_EQ(mapPane()->currentAddress().toString(), map.toString()) << "shown once it is ready";
    window.reset();
}

TEST_F(PaneEventsTest, FailingMapWalksTheFallbackRingThreeStepsThenStops) {
    const auto ringPage = [](int i) { return QString(radar::MapFallbackRing.at(i)); };
    ASSERT_EQ(settings.NationalMapUrl, ringPage(0));
    struct Step {
        int failed, next;
        int retries;
        bool navigates;
    };
    for (const Step& s :
         {Step{0, 1, 2, true}, Step{1, 2, 3, true}, Step{2, 3, 4, true}, Step{3, 0, 0, false}}) {
        SCOPED_TRACE(ringPage(s.failed).toStdString());
        const qsizetype before = mapPane()->navigations.size();
        emit mapPane()->navigateError(QUrl(ringPage(s.failed)), kTimeOutStatus);
        EXPECT_EQ(settings.NationalMapUrl, ringPage(s.next));
        EXPECT_EQ(window->panes().MapRetryCount, s.retries);
        if (s.navigates) {
            ASSERT_EQ(mapPane()->navigations.size(), before + 2);
            EXPECT_EQ(mapPane()->navigations.at(before).address, paths.startBlank.url);
            EXPECT_EQ(mapPane()->current, QUrl(ringPage(s.next)));
        } else {
            EXPECT_EQ(mapPane()->navigations.size(), before);
        }
    }
    EXPECT_TRUE(shown.isEmpty()) << "no process runs: nothing to shut down";

    // A map address of the user's own that fails is kept.
    const QString custom = QStringLiteral("http://radar.example.org/usa.html");
    settings.NationalMapUrl = custom;
    const qsizetype before = mapPane()->navigations.size();
    emit mapPane()->navigateError(QUrl(custom), kTimeOutStatus);
    EXPECT_EQ(settings.NationalMapUrl, custom);
    EXPECT_EQ(mapPane()->navigations.size(), before);
}

// A navigation error during a process ends it without the Shut-Down question
// (which is on), keeps the images, and the next Restart asks again.
TEST_F(PaneEventsTest, NavigateErrorDuringProcessForcesShutDownKeepingImages) {
    struct Case {
        const char* name;
        bool mapPane;
        quint32 status;
    };
    for (const Case& c :
         {Case{"image pane time-out", false, kTimeOutStatus},
          Case{"map pane time-out", true, kTimeOutStatus},
          Case{"map pane not found while connected", true, platform::ResourceNotFoundStatus}}) {
        SCOPED_TRACE(c.name);
        remakeWindow();
        storeImages(1);
        const QByteArray slot1 = readBytes(loop().slotFile(1));
        FakeBrowserPane* pane = c.mapPane ? mapPane() : imagePane();
        emit pane->navigateError(QUrl(QStringLiteral("http://weather.noaa.gov/x")), c.status);
        ASSERT_EQ(texts(), QStringList{kNavigateErrorText});
        EXPECT_EQ(refreshState(), acquisition::refresh_state::Stopped);
        EXPECT_FALSE(refresh().Timer1()->isActive());
        EXPECT_EQ(readBytes(loop().slotFile(1)), slot1);
        EXPECT_EQ(imagePane()->current, paths.startBlank.url);

        answer = core::MsgNo;
        controls().Command7->click();
        EXPECT_EQ(timesAsked(4), 1) << "Restart asks again";
        answer = core::MsgYes;
    }
}

TEST_F(PaneEventsTest, NotFoundErrorsThatDoNotEndTheProcess) {
    storeImages(1);
    // The image pane's not-found is ignored.
    emit imagePane()->navigateError(QUrl(refresh().PaneUrl()), platform::ResourceNotFoundStatus);
    EXPECT_EQ(refreshState(), acquisition::refresh_state::Running);
    // The map's not-found without a connection puts the system offline.
    net.state.connected = false;
    emit mapPane()->navigateError(QUrl(settings.NationalMapUrl), platform::ResourceNotFoundStatus);
    EXPECT_EQ(refreshState(), acquisition::refresh_state::Running);
    EXPECT_TRUE(net.state.offline);
    EXPECT_EQ(state().OfflineFlag, -1);
    EXPECT_TRUE(shown.isEmpty());
}

} // namespace
