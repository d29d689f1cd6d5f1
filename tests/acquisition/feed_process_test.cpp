// The feed as a supervised child: ready from its first line, started again
// after growing pauses when it ends, explained when it cannot start.
#include "acquisition/feed_process.h"
#include "support/files.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace nubivista::acquisition {
namespace {

// A stand-in feed: says it is ready on a fixed port, then lives for a while.
QString standInFeed(const QTemporaryDir& dir, const QByteArray& firstLine, int lifeSeconds) {
    const QString path = dir.filePath("nubivista-feed");
    nubivista::testing::writeScript(path, "echo 'feed complaint' >&2\nsleep 0.2\necho '" +
                                              firstLine + "'\nsleep " +
                                              QByteArray::number(lifeSeconds) + "\n");
    return path;
}

TEST(FeedProcess, ReadyFromItsFirstLineAndStartedAgainAfterGrowingPauses) {
    QTemporaryDir dir;
    FeedProcess feed(standInFeed(dir, "nubivista-feed listening on http://127.0.0.1:4242/", 0), {});
    feed.setPauses(50, 120);
    QSignalSpy ready(&feed, &FeedProcess::ready);
    QSignalSpy down(&feed, &FeedProcess::down);
    feed.start();
    ASSERT_TRUE(ready.wait(10000));
    EXPECT_EQ(ready.first().first().toUrl(), QUrl("http://127.0.0.1:4242/"));
    QList<int> pauses;
    while (pauses.size() < 3 && down.wait(10000))
        pauses << feed.restartPauseMs();
    EXPECT_EQ(pauses, (QList<int>{50, 100, 120}));
    EXPECT_GE(ready.size(), 3);
    feed.stop();
    EXPECT_EQ(feed.state(), FeedProcess::State::Stopped);
}

TEST(FeedProcess, SaysWhyItCannotStartAndWhereItLooked) {
    QTemporaryDir dir;
    FeedProcess missing(dir.filePath("nubivista-feed"), {});
    missing.setPauses(50, 50);
    QSignalSpy cannot(&missing, &FeedProcess::cannotStart);
    QSignalSpy ready(&missing, &FeedProcess::ready);
    missing.start();
    ASSERT_EQ(cannot.size(), 1);
    EXPECT_TRUE(missing.problem().contains(dir.filePath("nubivista-feed")));
    EXPECT_TRUE(feedProblemPageHtml(missing.problem()).contains(dir.filePath("nubivista-feed")));
    // Put back while the program runs, it is found.
    standInFeed(dir, "nubivista-feed listening on http://127.0.0.1:4242/", 5);
    EXPECT_TRUE(ready.wait(10000));
    const auto pid = static_cast<pid_t>(missing.childPid());
    missing.stop();
    EXPECT_NE(::kill(pid, 0), 0) << "a stopped feed's process has ended";

    // There, but it ends without saying where it listens: its complaint is shown.
    QTemporaryDir otherDir;
    FeedProcess silent(standInFeed(otherDir, "something else", 0), {});
    silent.setPauses(60'000, 60'000);
    QSignalSpy failed(&silent, &FeedProcess::cannotStart);
    silent.start();
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_EQ(silent.state(), FeedProcess::State::CannotStart);
    EXPECT_TRUE(silent.problem().contains("feed complaint")) << silent.problem().toStdString();
}

} // namespace
} // namespace nubivista::acquisition
