#include "app/command_line.h"

#include <gtest/gtest.h>

namespace nubivista::app {
namespace {

CommandLine parsed(const QStringList& arguments) {
    const auto result = parseCommandLine(QStringList{"nubivista"} + arguments);
    EXPECT_TRUE(std::holds_alternative<CommandLine>(result))
        << std::get<QString>(result).toStdString();
    return std::holds_alternative<CommandLine>(result) ? std::get<CommandLine>(result)
                                                       : CommandLine{};
}

QString refused(const QStringList& arguments) {
    const auto result = parseCommandLine(QStringList{"nubivista"} + arguments);
    return std::holds_alternative<QString>(result) ? std::get<QString>(result) : QString();
}

TEST(CommandLine, ChoosesTheLiveFeedTheDemoOrAFeedAlreadyRunning) {
    EXPECT_EQ(parsed({}).feed.source, acquisition::FeedSource::Live);
    EXPECT_EQ(parsed({"--demo"}).feed.source, acquisition::FeedSource::Demo);
    for (const QStringList& arguments : {QStringList{"--feed", "http://127.0.0.1:8080/"},
                                         QStringList{"--feed=http://127.0.0.1:8080/"}}) {
        const CommandLine line = parsed(arguments);
        EXPECT_EQ(line.feed.source, acquisition::FeedSource::External);
        EXPECT_EQ(line.feed.address, QUrl("http://127.0.0.1:8080/"));
    }
    EXPECT_TRUE(parsed({"--help"}).showHelp);
    EXPECT_TRUE(parsed({"-h"}).showHelp);
    EXPECT_TRUE(commandLineHelp().contains("--demo"));
    EXPECT_TRUE(commandLineHelp().contains("--feed URL"));

    const CommandLine current = parsed({"--export-gif", "/tmp/loop.gif"});
    ASSERT_TRUE(current.exportGif);
    EXPECT_EQ(current.exportGif->file, "/tmp/loop.gif");
    EXPECT_TRUE(current.exportGif->setName.isEmpty());
    const CommandLine saved = parsed({"--set=Storm 5", "--export-gif=a.gif"});
    ASSERT_TRUE(saved.exportGif);
    EXPECT_EQ(saved.exportGif->setName, "Storm 5");
    EXPECT_FALSE(parsed({"--demo"}).exportGif);
}

TEST(CommandLine, RefusesWhatItCannotUseWithAMessage) {
    EXPECT_TRUE(refused({"--feed"}).contains("needs the feed's address"));
    for (const char* bad :
         {"127.0.0.1:8080", "https://127.0.0.1:8080/", "http://127.0.0.1/", "http://"})
        EXPECT_TRUE(refused({"--feed", bad}).contains("--feed takes an address")) << bad;
    EXPECT_TRUE(
        refused({"--demo", "--feed", "http://127.0.0.1:8080/"}).contains("cannot go together"));
    EXPECT_TRUE(refused({"--live-ish"}).contains("unknown option"));
    EXPECT_TRUE(refused({"stray"}).contains("unexpected argument"));
    EXPECT_TRUE(refused({"--export-gif"}).contains("needs a file name"));
    EXPECT_TRUE(refused({"--set", "Storm"}).contains("--set goes with --export-gif"));

    // Before Qt has taken its own options out, they pass; the program's own
    // mistakes do not.
    const auto early = [](const QStringList& arguments) {
        return parseCommandLine(QStringList{"nubivista"} + arguments, true);
    };
    EXPECT_TRUE(std::holds_alternative<CommandLine>(early({"-style", "fusion", "--demo"})));
    EXPECT_TRUE(std::holds_alternative<QString>(early({"--feed", "nonsense"})));
}

} // namespace
} // namespace nubivista::app
