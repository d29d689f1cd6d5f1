// The back-dated start end to end: with Back-Date checked a site click loads
// the site's loop page; a loop list the start cannot use asks whether to go
// on with the latest image alone. The live-feed case fills the slots from a
// usable list.
#include "acquisition/refresh_process.h"
#include "e2e/refresh_fixture.h"

#include <QCheckBox>

namespace nubivista::e2e {
namespace {

const QString kQuestion = QStringLiteral("Back Date Download Failed. Do You Want To");

class BackDatedStartTest : public RefreshE2eTest {
protected:
    void SetUp() override {
        RefreshE2eTest::SetUp();
        if (HasFatalFailure())
            return;
        controls().Check3->setChecked(true);
    }
    static QString latestPath(const QString& site) {
        return QStringLiteral("/radar/images/DS.p19r0/SI.%1/latest.gif").arg(site);
    }
};

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
        const int filled = loop().filledCount();
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
            EXPECT_EQ(loop().filledCount(), filled) << "a failed start gives the loop back";
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
