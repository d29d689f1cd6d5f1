// The back-dated start end to end: with Back-Date checked a site click loads
// the site's loop page, whose list and frames the start then takes from the
// layer's cache into the first slots before the latest image follows; a loop
// list it cannot use asks whether to go on with the latest image alone.
#include "acquisition/refresh_process.h"
#include "core/ole_date.h"
#include "core/press_button.h"
#include "e2e/refresh_fixture.h"

#include <QCheckBox>

namespace nubivista::e2e {
namespace {

constexpr int kStampAdjustMinutes = 2;
const QString kQuestion = QStringLiteral("Back Date Download Failed. Do You Want To");

class BackDatedStartTest : public RefreshE2eTest {
protected:
    void SetUp() override {
        settings.StampAdjustMinutes = kStampAdjustMinutes;
        RefreshE2eTest::SetUp();
        if (HasFatalFailure())
            return;
        controls().Check3->setChecked(true);
    }
    static QString latestPath(const QString& site) {
        return QStringLiteral("/radar/images/DS.p19r0/SI.%1/latest.gif").arg(site);
    }
    // The frames of a site's loop list as the simulator serves it, oldest first.
    QStringList loopFrames(const QString& site) const {
        QStringList frames;
        const QByteArray list = sim->get("/radar/loopdata/DS.p19r0/" + site + ".txt");
        for (const QByteArray& line : list.trimmed().split('\n'))
            frames << QStringLiteral("/radar/") + QString::fromLatin1(line.trimmed());
        return frames;
    }
};

TEST_F(BackDatedStartTest, TheLoopPagesFramesFillTheFirstSlotsAndTheLatestImageFollows) {
    const QStringList frames = loopFrames(QStringLiteral("kmkx"));
    ASSERT_EQ(frames.size(), 10);
    clickSite(QStringLiteral("kmkx"));
    ASSERT_FALSE(HasFatalFailure());
    QTRY_COMPARE_WITH_TIMEOUT(refresh().RefreshState(), acquisition::refresh_state::LoopPageLoading,
                              kPageTimeoutMs);
    // The frames are five minutes apart and the interval is six: every older
    // frame is an image of its own, the newest is left to the latest image.
    ASSERT_EQ(settings.RefreshIntervalMinutes, 6);
    QTRY_COMPARE_WITH_TIMEOUT(imagesStored(), 10, kPageTimeoutMs);
    EXPECT_EQ(refresh().RefreshState(), acquisition::refresh_state::Running);
    for (int slot = 1; slot <= 9; ++slot) {
        const QString& frame = frames[slot - 1];
        EXPECT_EQ(slotBytes(slot), sim->get(frame)) << "slot " << slot;
        // The list's own time, not moved by the stamp adjustment.
        EXPECT_EQ(slotTimeUtc(slot), sim->lastModified(frame)) << "slot " << slot;
    }
    const QString latest = latestPath(QStringLiteral("kmkx"));
    EXPECT_EQ(slotBytes(10), sim->get(latest));
    EXPECT_EQ(slotTimeUtc(10), sim->lastModified(latest).addSecs(kStampAdjustMinutes * 60));
    EXPECT_EQ(loop().model().newestSlot, 10);
    EXPECT_EQ(loop().filledCount(), 10);
    EXPECT_EQ(loop().model().paneUrl, platform::testing::radarUrl(latest).toString());
    EXPECT_EQ(controls().Command7->text(), QStringLiteral("Shut-Down"));
    EXPECT_EQ(messages.size(), 1) << messageLog().toStdString();
}

TEST_F(BackDatedStartTest, AnUnusableLoopListAsksAndYesGoesOnWithTheLatestImageOnly) {
    // Each case on a site of its own: a list already in the cache would be
    // taken from there, fault or not.
    const struct {
        const char* site;
        const char* fault;
        int answer;
    } cases[] = {
        {"kgrr", "crlf", core::MsgYes},
        {"kdvn", "nine-lines", core::MsgNo},
    };
    for (const auto& c : cases) {
        const QString site = QString::fromLatin1(c.site);
        SCOPED_TRACE(std::string(c.fault) + " answered " + std::to_string(c.answer));
        ASSERT_TRUE(sim->clearFaults());
        ASSERT_TRUE(sim->setFault(QStringLiteral("name=%1&match=/loopdata/").arg(c.fault)));
        answer = [&c](const Message& m) {
            return m.text.contains(kQuestion) ? c.answer : int(core::MsgYes);
        };
        messages.clear();
        const int stored = imagesStored();
        showMap();
        ASSERT_FALSE(HasFatalFailure());
        clickSite(site);
        ASSERT_FALSE(HasFatalFailure());
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(messages.begin(), messages.end(),
                        [](const Message& m) { return m.text.contains(kQuestion); }),
            kPageTimeoutMs)
            << messageLog().toStdString();
        if (c.answer == core::MsgYes) {
            QTRY_COMPARE_WITH_TIMEOUT(imagesStored(), stored + 1, kPageTimeoutMs);
            EXPECT_EQ(refresh().RefreshState(), acquisition::refresh_state::Running);
            EXPECT_EQ(loop().filledCount(), 1);
            EXPECT_EQ(loop().model().newestSlot, 1);
            EXPECT_EQ(slotBytes(1), sim->get(latestPath(site)));
            EXPECT_EQ(loop().model().siteCode, site);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(shutDown(), kPageTimeoutMs) << messageLog().toStdString();
            EXPECT_TRUE(messages.last().text.contains("...Error...Process Will Be Shut-Down."))
                << messageLog().toStdString();
            EXPECT_EQ(loop().filledCount(), 0);
            EXPECT_EQ(imagesStored(), stored);
        }
        const int questions =
            static_cast<int>(std::count_if(messages.begin(), messages.end(), [](const Message& m) {
                return m.text.contains(kQuestion);
            }));
        EXPECT_EQ(questions, 1) << messageLog().toStdString();
    }
}

} // namespace
} // namespace nubivista::e2e
