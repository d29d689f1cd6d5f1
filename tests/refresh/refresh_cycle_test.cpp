// The auto-refresh cycle on the fake cache: which image is taken, where and
// with what time, reloads, the failures that end the process, the ring after
// twenty images, Replace, and a tick that is not entered twice.
#include "acquisition/picture_source_notice.h"
#include "core/app_identity.h"
#include "display/tab_display.h"
#include "refresh_fixture.h"
#include "sets/set_record.h"

#include <QAction>

using namespace nubivista;
using nubivista::testing::oleOf;
using nubivista::testing::readBytes;
using nubivista::testing::RefreshTest;
using nubivista::testing::samplePicture;
using nubivista::testing::tickFailureText;
using nubivista::testing::writeBytes;

namespace {

using RefreshCycleTest = RefreshTest;
using acquisition::refresh_state::Running;
using acquisition::refresh_state::Stopped;

TEST_F(RefreshCycleTest, FirstImageGoesIntoSlotOneWithItsAdjustedUtcTime) {
    settings.StampAdjustMinutes = -5;
    startProcess();
    shown.clear();
    // The loaded page names the site and puts the map aside.
    EXPECT_EQ(form().windowTitle(),
              QStringLiteral("KMKX - Milwaukee, WI - ") + core::kProgramTitle);
    EXPECT_TRUE(window->panes().mapPaneAside());
    EXPECT_EQ(mapPane()->current, paths.startBlank.url);
    publishImage(1);
    poll();
    ASSERT_TRUE(shown.isEmpty());
    // It lands beside its slot file and moves over it once it reads as a picture.
    EXPECT_EQ(net.downloadTargets, QStringList{loop().slotFile(1) + QStringLiteral(".new")});
    EXPECT_EQ(readBytes(loop().slotFile(1)), readBytes(samplePicture(1)));
    EXPECT_FALSE(loop().picture(1).isNull());
    EXPECT_NEAR(model().slotTime[1], oleOf(imageTime(1).addSecs(-5 * 60)), 0.5 / 86400);
    EXPECT_EQ(model().newestSlot, 1);
    EXPECT_EQ(model().lastImageSize, 1001);
    EXPECT_FALSE(refresh().Timer3()->isActive());

    const sets::SetRecordRead read = sets::decodeSetRecord(readBytes(paths.setRecPath));
    ASSERT_TRUE(read.record) << read.error.toStdString();
    EXPECT_EQ(read.record->newestSlot, 1);
    EXPECT_EQ(read.record->slotFilled[1], 1);
    EXPECT_EQ(read.record->siteCode, QStringLiteral("kmkx"));
}

// Each failure shows the tick's message once, asks nothing (Shut-Down's
// question is on) and stops the process; the stored images stay.
TEST_F(RefreshCycleTest, FailedTicksShutDownWithTheirReason) {
    struct Case {
        const char* name;
        int imagesBefore;
        std::function<void()> arrange;
        int pollsBeforeMessage;
        QString status;
    };
    const QString corrupt = home.filePath(QStringLiteral("corrupt.gif"));
    ASSERT_TRUE(writeBytes(corrupt, QByteArray("GIF89a this is no picture")));
    const std::vector<Case> cases = {
        {"first image not cached", 0, [] {}, 0, QString()},
        {"first image bad", 0, [&] { publishImage(1, corrupt); }, 0,
         QStringLiteral("Image File Is Bad")},
        {"three failed downloads", 2,
         [this] { net.publish(imageKey(), imageTime(3), 1003, QString()); }, 2,
         QStringLiteral("Unable To Get New Files")},
        // The ring is full: the damaged image must not take the oldest one's
        // slot file.
        {"a later image damaged three times", 20, [&] { publishImage(21, corrupt); }, 2,
         QStringLiteral("Unable To Get New Files")},
        {"no connection after dialling", 1,
         [this] {
             net.state.connected = false;
             net.state.modem = true;
         },
         0, QStringLiteral("Not Connected To Internet")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        remakeWindow();
        net = platform::testing::FakeInternetService();
        storeImages(c.imagesBefore);
        std::vector<QByteArray> stored;
        for (int slot = 1; slot <= c.imagesBefore; ++slot)
            stored.push_back(readBytes(loop().slotFile(slot)));
        c.arrange();

        for (int i = 0; i < c.pollsBeforeMessage; ++i) {
            poll();
            EXPECT_TRUE(shown.isEmpty());
            EXPECT_EQ(refreshState(), Running);
        }
        poll();
        EXPECT_EQ(texts(), QStringList{tickFailureText(c.status)});
        EXPECT_EQ(refreshState(), Stopped);
        EXPECT_FALSE(refresh().Timer3()->isActive());
        EXPECT_EQ(loop().filledCount(), c.imagesBefore);
        for (int slot = 1; slot <= c.imagesBefore; ++slot)
            EXPECT_EQ(readBytes(loop().slotFile(slot)), stored[slot - 1]) << slot;
    }
}

TEST_F(RefreshCycleTest, FifteenPollsWithoutANewImageReloadTheImagePage) {
    storeImages(1);
    const int reloads = imagePane()->refreshes;
    for (int polls = 1; polls <= 15; ++polls) {
        poll();
        EXPECT_EQ(imagePane()->refreshes, reloads + (polls == 15 ? 1 : 0)) << polls;
    }
}

TEST_F(RefreshCycleTest, ImageWithTheSameSizeIsNeverStoredEvenWhenNewer) {
    storeImages(1);
    publishImage(5, {}, 1001);
    for (int i = 0; i < 3; ++i)
        poll();
    EXPECT_EQ(net.downloadCalls, 1);
    // Older with a new size is not new either.
    net.publish(imageKey(), imageTime(0), 777, samplePicture(2));
    poll();
    EXPECT_EQ(net.downloadCalls, 1);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(RefreshCycleTest, TwentyFirstImageTurnsTheRingAndReplaceStepsItBack) {
    storeImages(20);
    EXPECT_EQ(model().wrapState, sets::kFillingFirstTime);
    controls().Check1->setChecked(true); // the new image's tab is selected
    display().tabs().selectTab(3);
    publishImage(21);
    poll();
    EXPECT_EQ(display().tabs().selectedTab(), 20);
    EXPECT_EQ(model().newestSlot, 1);
    EXPECT_EQ(model().ringOffset, 1);
    EXPECT_EQ(model().wrapState, sets::kRingFull);
    EXPECT_NEAR(model().slotTime[1], oleOf(imageTime(21)), 0.5 / 86400);
    EXPECT_EQ(readBytes(loop().slotFile(1)), readBytes(samplePicture(21)));

    const int reloads = imagePane()->refreshes;
    window->form1().menuItem(QStringLiteral("mnuReplace"))->trigger();
    EXPECT_EQ(timesAsked(11), 1);
    EXPECT_EQ(model().newestSlot, 20);
    EXPECT_EQ(model().ringOffset, 0);
    EXPECT_EQ(imagePane()->refreshes, reloads + 1);
    // Only an image newer than the replaced one replaces it, in slot 1.
    publishImage(22);
    poll();
    EXPECT_EQ(model().newestSlot, 1);
    EXPECT_EQ(model().ringOffset, 1);
    EXPECT_NEAR(model().slotTime[1], oleOf(imageTime(22)), 0.5 / 86400);
}

// The dial question waits for its answer while Timer3 keeps firing; a tick
// that comes meanwhile does nothing.
TEST_F(RefreshCycleTest, TickIsNotEnteredAgainWhileItsDialQuestionIsOpen) {
    storeImages(1);
    net.state.connected = false;
    int questions = 0;
    bool inside = false;
    onMessage = [&](int kind, const QString& text, int id) {
        if (id != core::kStandardBoxId)
            return;
        ++questions;
        EXPECT_EQ(kind, 3);
        EXPECT_EQ(text, QStringLiteral("You Are NOT CONNECTED To The Internet\nDo You Want An "
                                       "iNet Dial-Up Window?"));
        if (!inside) {
            inside = true;
            poll();
            poll();
            inside = false;
        }
    };
    // No: the tick ends and the process goes on.
    answer = core::MsgNo;
    poll();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(net.dials, 0);
    EXPECT_EQ(refreshState(), Running);
    // Yes dials once; still no connection ends the process once.
    answer = core::MsgYes;
    shown.clear();
    poll();
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(net.dials, 1);
    EXPECT_EQ(timesAsked(0), 1);
    EXPECT_EQ(refreshState(), Stopped);
}

TEST_F(RefreshCycleTest, APictureOfAnotherSourceIsRefusedAndToldOnce) {
    storeImages(1);
    const QByteArray slot2 = readBytes(loop().slotFile(2));
    for (int n = 2; n <= 3; ++n) {
        publishImage(n);
        net.refusedSources[imageKey()] = QStringLiteral("sim");
        poll();
    }
    EXPECT_EQ(texts().count(acquisition::PictureSourceNotice::noticeText("sim")), 1)
        << texts().join('|').toStdString();
    EXPECT_EQ(model().newestSlot, 1);
    EXPECT_EQ(readBytes(loop().slotFile(2)), slot2);
}

} // namespace
