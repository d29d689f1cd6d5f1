// The refresh controls, Shut-Down and Restart, the stale image's notice, and
// the connection: the Internet menu's items, the Work Offline check, the
// caption's working-offline mark and the feed's status page.
#include "refresh_fixture.h"
#include "sets/set_record.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

using namespace nubivista;
using nubivista::testing::RefreshTest;

namespace {

using acquisition::refresh_state::Running;
using acquisition::refresh_state::Stopped;

class RefreshControlsTest : public RefreshTest {
protected:
    void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QAction* item(const char* name) { return form().menuItem(QString::fromLatin1(name)); }
};

TEST_F(RefreshControlsTest, ShutDownAsksAndKeepsTheImages) {
    storeImages(1);
    answer = core::MsgNo;
    click(controls().Command7);
    ASSERT_EQ(timesAsked(5), 1);
    EXPECT_EQ(shown.last().text,
              QStringLiteral("\r\nConfirm:\r\nDo You Want To Shut-Down The Current Auto-Refresh "
                             "Process?\r\nYou Can Restart It Later, At Its Current Stage, By "
                             "Clicking The -Restart- Button."));
    EXPECT_EQ(refreshState(), Running);

    answer = core::MsgYes;
    click(controls().Command7);
    EXPECT_EQ(refreshState(), Stopped);
    EXPECT_EQ(controls().Command7->text(), QStringLiteral("Restart"));
    EXPECT_EQ(controls().Command7->toolTip(),
              QStringLiteral("Restart The Previous, Shut-Down, Auto-Refresh Process"));
    EXPECT_FALSE(refresh().Timer1()->isActive());
    EXPECT_TRUE(text2().isEmpty());
    EXPECT_EQ(imagePane()->current, paths.startBlank.url);
    EXPECT_EQ(mapPane()->current, paths.startBlank.url);
    EXPECT_TRUE(loop().filled(1));
    EXPECT_FALSE(refresh().PaneUrl().isEmpty());
    // Pause has nothing to pause.
    const QString pauseCaption = controls().Command9->text();
    click(controls().Command9);
    EXPECT_EQ(controls().Command9->text(), pauseCaption);

    answer = core::MsgNo;
    click(controls().Command7);
    ASSERT_EQ(timesAsked(4), 1);
    EXPECT_EQ(shown.last().text, QStringLiteral("\r\n\r\nConfirm:\r\nDo You Want To Restart "
                                                "The\r\nAuto-Refresh Process?"));
    EXPECT_EQ(refreshState(), Stopped);
}

// Restart continues on the latest page unless Back-Date is checked and the
// last image is more than two intervals old: then the loop page fills the gap.
TEST_F(RefreshControlsTest, RestartTakesTheLatestOrTheLoopPage) {
    struct Case {
        bool backDate;
        int minutesSinceImage;
        bool loopPage;
        bool asks = true;
    };
    for (const Case c : {Case{false, 60, false}, Case{true, 11, false}, Case{true, 13, true},
                         Case{false, 60, false, false}}) {
        SCOPED_TRACE(::testing::Message() << c.backDate << " " << c.minutesSinceImage);
        remakeWindow();
        storeImages(1);
        const QString latest = refresh().PaneUrl();
        click(controls().Command7); // shut down
        ASSERT_EQ(refreshState(), Stopped);
        controls().Check3->setChecked(c.backDate);
        clock.setNow(imageTime(1).toLocalTime().addSecs(60 * c.minutesSinceImage));
        // With the question switched off Restart goes ahead at once.
        settings.MsgOffMap[3] = QLatin1Char(c.asks ? '0' : '1');
        shown.clear();
        click(controls().Command7);
        EXPECT_EQ(timesAsked(4), c.asks ? 1 : 0);
        EXPECT_TRUE(offersShutDown());
        EXPECT_EQ(controls().Command7->toolTip(), QStringLiteral("Shut-Down Auto-Refresh Process"));
        if (c.loopPage) {
            EXPECT_EQ(refreshState(), acquisition::refresh_state::BackDatedRestart);
            EXPECT_TRUE(
                refresh().PaneUrl().contains(QLatin1String("/radar/loop/"), Qt::CaseInsensitive));
            EXPECT_EQ(mapPane()->current, paths.beginLoopNav.url);
        } else {
            EXPECT_EQ(refreshState(), Running);
            EXPECT_EQ(refresh().PaneUrl(), latest);
            EXPECT_EQ(mapPane()->current, paths.beginNav.url);
        }
        EXPECT_EQ(imagePane()->current, QUrl(refresh().PaneUrl()));
        EXPECT_TRUE(loop().filled(1));
    }
}

TEST_F(RefreshControlsTest, WorkOfflineFollowsTheSwitchAndKeepsTheFlagWhenItFails) {
    QAction* offline = item("mnuOffline");
    ASSERT_NE(offline, nullptr);
    offline->trigger();
    EXPECT_TRUE(net.state.offline);
    EXPECT_TRUE(offline->isChecked());
    offline->trigger();
    EXPECT_FALSE(net.state.offline);
    EXPECT_FALSE(offline->isChecked());

    net.goOfflineResult = false;
    offline->trigger();
    EXPECT_FALSE(offline->isChecked());
    EXPECT_EQ(state().OfflineFlag, 0);

    net.goOfflineResult = true;
    offline->trigger();
    net.goOnlineResult = false;
    offline->trigger();
    EXPECT_TRUE(offline->isChecked());
    EXPECT_EQ(state().OfflineFlag, -1);

    // The menu shows the layer's state as it is now.
    net.state.offline = false;
    emit form().mnuPop1()->aboutToShow();
    EXPECT_FALSE(offline->isChecked());
}

TEST_F(RefreshControlsTest, InternetOptionsThatCannotOpenSayWhy) {
    item("mnuIEnetOptions")->trigger();
    EXPECT_EQ(net.optionsDialogCalls, 1);
    EXPECT_TRUE(shown.isEmpty());
    net.optionsDialogResult = false;
    item("mnuIEnetOptions")->trigger();
    EXPECT_EQ(texts(),
              QStringList{QStringLiteral(
                  "\r\n\r\nError Launching Internet Options Window.\r\nAlternatively, You Can Use "
                  "Microsoft Windows Control Panel > Internet Options")});
}

// A radar that stops publishing: once the newest image is older than two
// intervals, panel 3 says how old, with the feed's reason, asking the feed
// at most once a minute; a new image or Shut-Down clears it.
TEST_F(RefreshControlsTest, StaleImageIsToldWithTheFeedsReasonUntilANewImageComes) {
    const QString status = QStringLiteral("http://weather.noaa.gov/status.json");
    net.pages[status] =
        R"({"products": [{"site": "kmkx", "product": "DS.p19r0", "summary": "no scans"}]})";
    storeImages(1);
    const QDateTime newest = core::oleToDateTime(model().slotTime[1], Qt::UTC);
    QLabel* panel3 = form().statusPanel(3);
    const auto tickAt = [&](int seconds) { // after the first image
        clock.setNow(newest.addSecs(seconds).toLocalTime());
        clock.setTickCount(seconds * 1000);
        refresh().Timer2_Timer();
        return panel3->text();
    };
    // Each stored image also asks for its storm cells and warnings.
    const auto statusFetches = [&] { return net.fetches.filter(QStringLiteral("/status.json")); };
    EXPECT_EQ(tickAt(12 * 60), QString());
    EXPECT_TRUE(statusFetches().isEmpty());
    EXPECT_EQ(tickAt(35 * 60 + 5), QStringLiteral("Newest image 35 min old: no scans"));
    EXPECT_EQ(tickAt(35 * 60 + 50), QStringLiteral("Newest image 35 min old: no scans"));
    EXPECT_EQ(statusFetches(), QStringList{status});
    net.pages.clear(); // the feed stops answering: the reason goes
    EXPECT_EQ(tickAt(37 * 60), QStringLiteral("Newest image 37 min old"));
    EXPECT_EQ(statusFetches().size(), 2);

    publishImage(2);
    poll();
    EXPECT_EQ(panel3->text(), QString());
    EXPECT_EQ(tickAt(40 * 60), QStringLiteral("Newest image 39 min old"));
    click(controls().Command7);
    EXPECT_EQ(refreshState(), Stopped);
    EXPECT_EQ(panel3->text(), QString());

    form().findChild<QAction*>(QStringLiteral("mnuFeedStatus"))->trigger();
    EXPECT_EQ(feedPages, QStringList{QStringLiteral("http://weather.noaa.gov/status")});
}

// "Internet Connection" takes the feed's word as well: a network from which
// the weather service cannot be reached is no connection.
TEST_F(RefreshControlsTest, InternetConnectionSaysNotConnectedWhenTheFeedCouldNotReachTheService) {
    const QString reason = QStringLiteral(
        "The weather service could not be reached: host tgftp.nws.noaa.gov not found");
    const QString connected = QStringLiteral("You Are CONNECTED To The Internet");
    const std::pair<QByteArray, QString> cases[] = {
        {R"({"weatherServiceReachable": true})", connected},
        {{}, connected}, // no answer from the feed: the system's word stands
        {R"({"weatherServiceReachable": false, "products": [{"unreachable": true, "reason": ")" +
             reason.toLatin1() + "\"}]}",
         QStringLiteral("You Are NOT CONNECTED To The Internet\nDo You Want An iNet Dial-Up "
                        "Window?\n") +
             reason},
    };
    answer = core::MsgNo;
    for (const auto& [status, text] : cases) {
        net.pages.clear();
        if (!status.isEmpty())
            net.pages[QStringLiteral("http://weather.noaa.gov/status.json")] = status;
        shown.clear();
        form().findChild<QAction*>(QStringLiteral("mnuInetConnect"))->trigger();
        EXPECT_EQ(texts(), QStringList{text});
    }
}

} // namespace
