// The program's own feed end to end: the demo's simulator as a child the
// program supervises, the map and the pictures from it, an address that is
// not the radar servers', and a feed that dies mid-process.
#include "e2e/refresh_fixture.h"

#include <QWebEnginePage>
#include <csignal>

namespace nubivista::e2e {
namespace {

class OwnFeedTest : public RefreshE2eTest {
protected:
    OwnFeedTest() {
        ownFeed = true;
        simArguments << "--log";
        paneFetchTimeoutMs = 5000;
    }
};

TEST_F(OwnFeedTest, TheDemoIsMarkedKeepsOtherLinksFromItsFeedAndSurvivesItsFeedDying) {
    EXPECT_TRUE(form().windowTitle().endsWith(QLatin1String(acquisition::kDemoMark)));
    EXPECT_TRUE(window->form3().aboutText().contains(QLatin1String("simulated")));

    // An ordinary link on the map goes to the relay, never to the feed: the
    // map's own request is in the feed's log, the link is not.
    const QString disclaimer = QStringLiteral("http://www.nws.noaa.gov/disclaimer.html");
    mapPane().page()->runJavaScript(
        QStringLiteral("document.querySelector('a[href=\"%1\"]').click();").arg(disclaimer));
    QTRY_VERIFY_WITH_TIMEOUT(relayed.contains(disclaimer), kPageTimeoutMs)
        << relayed.join(' ').toStdString();
    EXPECT_TRUE(feed->recentErrorOutput().contains("national.html"));
    EXPECT_FALSE(feed->recentErrorOutput().contains("disclaimer"));

    startProcessOn(QStringLiteral("kmkx"));
    ASSERT_FALSE(HasFatalFailure());
    // The process's own caption keeps the mark at its end.
    EXPECT_TRUE(form().windowTitle().endsWith(QLatin1String(acquisition::kDemoMark)))
        << form().windowTitle().toStdString();
    EXPECT_GT(demoMarkPixels(slotBytes(1)), 20);

    const QMap<int, QByteArray> before = storedImages();
    const qsizetype shownBefore = messages.size();
    // Down longer than a pane waits for it (5 s here, 30 s in the program).
    feed->setPauses(6000, 6000);
    ASSERT_EQ(::kill(static_cast<pid_t>(feed->childPid()), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(feed->state() != acquisition::FeedProcess::State::Ready, 10000);
    refresh().mnuRefresh_Click();
    // Like a server fault: one message, a forced shut-down, nothing lost.
    QTRY_VERIFY_WITH_TIMEOUT(shutDown(), kPageTimeoutMs) << messageLog().toStdString();
    EXPECT_EQ(messages.size(), shownBefore + 1) << messageLog().toStdString();
    EXPECT_EQ(storedImages(), before);

    // The feed is back on another port: Restart shows the image again, and
    // the next scan arrives in the next slot.
    attachToOwnFeed();
    ASSERT_FALSE(HasFatalFailure());
    controls().Command7->click();
    // The pane has the image once the process sets the map pane aside again.
    QTRY_VERIFY_WITH_TIMEOUT(window->panes().mapPaneAside(), kPageTimeoutMs);
    publishAndRefresh();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(storedImages().size(), 2);
    EXPECT_EQ(messages.size(), shownBefore + 2)
        << messageLog().toStdString(); // + Restart's question
}

} // namespace
} // namespace nubivista::e2e
