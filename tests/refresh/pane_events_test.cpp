// The browser panes' events in the assembled window: new windows, and
// navigation errors with the national map's fallback ring and the forced
// shut-down of a process.
#include "radar/addresses.h"
#include "refresh_fixture.h"

#include <QLabel>

using namespace nubivista;
using nubivista::testing::kNavigateErrorText;
using nubivista::testing::kTimeOutStatus;
using nubivista::testing::readBytes;
using nubivista::testing::RefreshTest;
using platform::testing::FakeBrowserPane;

namespace {

using PaneEventsTest = RefreshTest;

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
