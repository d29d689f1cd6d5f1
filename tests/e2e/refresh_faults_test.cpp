// What the auto-refresh process does when the radar server misbehaves, end to
// end: each failure ends in its message and a forced shut-down that keeps
// every stored image as it was; a national map that cannot be reached walks
// the regional hosts once.
#include "core/press_button.h"
#include "e2e/refresh_fixture.h"

namespace nubivista::e2e {
namespace {

using platform::testing::KmkxImagePath;
using platform::testing::radarUrl;

const QString kNavigateError = QStringLiteral("Browser Navigate Error or Time-Out...");
const QString kShutDownLine = QStringLiteral("...Error...Process Will Be Shut-Down.");

class RefreshFaultsTest : public RefreshE2eTest {
protected:
    // A hung fetch fails soon; every good answer comes over loopback in far less.
    RefreshFaultsTest() { paneFetchTimeoutMs = 5000; }

    // A good first image, then the fault on the next frame of the image address.
    void failNextFrameWith(const QString& fault) {
        startProcessOn(QStringLiteral("kmkx"));
        ASSERT_FALSE(HasFatalFailure());
        before = storedImages();
        ASSERT_EQ(before.size(), 1);
        shownBefore = messages.size();
        ASSERT_TRUE(sim->setFault(fault + QStringLiteral("&match=SI.kmkx/latest.gif")));
        ASSERT_TRUE(sim->advance());
        refresh().mnuRefresh_Click();
    }
    // The forced shut-down after one message that holds text.
    void expectShutDownWith(const QString& text) {
        QTRY_VERIFY_WITH_TIMEOUT(messages.size() > shownBefore, kPageTimeoutMs);
        EXPECT_TRUE(shutDown());
        ASSERT_EQ(messages.size(), shownBefore + 1) << messageLog().toStdString();
        EXPECT_TRUE(messages.last().text.contains(text)) << messageLog().toStdString();
        EXPECT_EQ(messages.last().kind, 1);
        EXPECT_EQ(storedImages(), before);
        EXPECT_TRUE(controls().Text2->text().isEmpty());
    }

    QMap<int, QByteArray> before;
    qsizetype shownBefore = 0;
};

// Not found, a truncated image and a hanging one (once the fetch times out).
class PaneFaultTest : public RefreshFaultsTest,
                      public ::testing::WithParamInterface<const char*> {};

TEST_P(PaneFaultTest, AnImageAddressThatFailsShutsTheProcessDown) {
    const QLatin1String name(GetParam());
    failNextFrameWith(QStringLiteral("name=") +
                      (name == "notFound" ? QStringLiteral("404") : name));
    ASSERT_FALSE(HasFatalFailure());
    expectShutDownWith(kNavigateError);
}

INSTANTIATE_TEST_SUITE_P(Faults, PaneFaultTest, ::testing::Values("notFound", "truncate", "hang"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(RefreshFaultsTest, ACorruptFirstImageShutsTheProcessDown) {
    ASSERT_TRUE(sim->setFault(QStringLiteral("name=corrupt&match=SI.kmkx/latest.gif")));
    clickSite(QStringLiteral("kmkx"));
    ASSERT_FALSE(HasFatalFailure());
    shownBefore = 1; // the start's confirmation
    expectShutDownWith(QStringLiteral("\r\nImage File Is Bad") + kShutDownLine);
    EXPECT_EQ(imagesStored(), 0);
    EXPECT_EQ(loop().filledCount(), 0);
}

class UnreachableMapTest : public RefreshE2eTest {
protected:
    UnreachableMapTest() {
        faultsAtStart << QStringLiteral("name=close");
        waitForMap = false;
        beforeLoad = [this] {
            QObject::connect(
                &mapPane(), &platform::BrowserPane::navigateError,
                [this](const QUrl& address, quint32) { failed << address.toString(); });
        };
    }
    QStringList failed;
};

TEST_F(UnreachableMapTest, TheMapWalksTheRegionalHostsOnceAndEndsOnTheDefault) {
    const QStringList ring{"http://weather.noaa.gov/radar/national.html",
                           "http://www.srh.noaa.gov/radar/national.html",
                           "http://www.crh.noaa.gov/radar/national.html",
                           "http://www.wrh.noaa.gov/radar/national.html"};
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 4, kPageTimeoutMs);
    // No fifth try comes.
    EXPECT_FALSE(waitUntil([this] { return failed.size() > 4; }, 3000));
    EXPECT_EQ(failed, ring);
    EXPECT_EQ(settings.NationalMapUrl, ring.first());
    EXPECT_EQ(window->panes().MapRetryCount, 0);
    EXPECT_TRUE(messages.isEmpty()) << messageLog().toStdString();
    EXPECT_EQ(refresh().RefreshState(), acquisition::refresh_state::Stopped);
}

} // namespace
} // namespace nubivista::e2e
