// What the auto-refresh process does when the radar server misbehaves under
// the real browser panes: each failure ends in its message and a forced
// shut-down that keeps every stored image as it was.
#include "core/press_button.h"
#include "e2e/refresh_fixture.h"

namespace nubivista::e2e {
namespace {

using platform::testing::KmkxImagePath;
using platform::testing::radarUrl;

const QString kNavigateError = QStringLiteral("Browser Navigate Error or Time-Out...");

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

} // namespace
} // namespace nubivista::e2e
