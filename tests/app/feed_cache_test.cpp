#include "app/feed_cache.h"
#include "support/files.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace nubivista::app {
namespace {

using acquisition::FeedSource;

TEST(FeedCache, EachFeedHasItsOwnFolderAndSource) {
    const auto external = [](const char* address) {
        return acquisition::FeedChoice{FeedSource::External, QUrl(QString::fromLatin1(address))};
    };
    const QString a = internetCacheFolder("/c", external("http://127.0.0.1:8081/"));
    const struct {
        acquisition::FeedChoice choice;
        QString folder;
        QByteArray source;
    } cases[] = {
        {{FeedSource::Live, {}}, "/c/live", "live"},   {{FeedSource::Demo, {}}, "/c/demo", "sim"},
        {external("http://127.0.0.1:8081"), a, ""},    // the same feed, any path
        {external("http://LOCALHOST:8081/x"), "", ""}, // another host
        {external("http://127.0.0.1:8082/"), "", ""},  // another port
    };
    EXPECT_TRUE(QRegularExpression("^/c/feed-[0-9a-f]{10}$").match(a).hasMatch())
        << a.toStdString();
    for (const auto& c : cases) {
        const platform::InternetLayerOptions options = internetOptionsFor(c.choice, "/c");
        if (c.folder.isEmpty())
            EXPECT_NE(options.cacheFolder, a);
        else
            EXPECT_EQ(options.cacheFolder, c.folder);
        EXPECT_EQ(options.pictureSource, c.source);
    }
}

TEST(FeedCache, TheCacheEarlierVersionsSharedIsClearedAndTheFeedsFoldersStay) {
    QTemporaryDir root;
    for (const char* file : {"data8/3/a.d", "prepared/b.d", "live/data8/c.d", "demo/data8/d.d"})
        ASSERT_TRUE(nubivista::testing::writeBytes(root.filePath(file), "x"));
    removeSharedCache(root.path());
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({"demo", "live"}));
    EXPECT_TRUE(QFile::exists(root.filePath("live/data8/c.d")));
}

} // namespace
} // namespace nubivista::app
