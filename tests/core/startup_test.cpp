// The start: the folders and files it needs and how it says what is missing,
// the instance lock, the first run's seeding, and the program folder's and the
// user's own settings.
#include "core/app_paths.h"
#include "core/file_checks.h"
#include "core/instance_guard.h"
#include "core/message_service.h"
#include "core/startup.h"
#include "modal_helpers.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace nubivista::core;
using nubivista::testing::ModalCloser;
using nubivista::testing::readBytes;
using nubivista::testing::writeBytes;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        appDir = root.filePath(QStringLiteral("app"));
        profileDir = root.filePath(QStringLiteral("home/.local/share"));
        QDir().mkpath(appDir);
        ASSERT_TRUE(saveSettingsFile(appDir + QStringLiteral("/Nubivista.ini"), Settings{}).ok);
        ASSERT_TRUE(writeBytes(appDir + QStringLiteral("/Sample Loop Images/CurrSetRec.sis"),
                               QByteArray(494, 's')));
        for (int n = 1; n <= 11; ++n)
            ASSERT_TRUE(
                writeBytes(appDir + QStringLiteral("/Sample Loop Images/latest%1.gif").arg(n),
                           "sample " + QByteArray::number(n)));
    }

    // Runs start-up with any message closed; the text it showed, if any.
    std::optional<StartupResult> start(QString* message = nullptr, InstanceGuard* guard = nullptr) {
        const ModalCloser closer;
        MessageService messages(settings.MsgOffMap);
        StartupEnvironment env;
        env.instanceGuard = guard;
        env.executableDir = appDir;
        env.profileDir = profileDir;
        auto result = runStartup(env, settings, messages);
        if (message)
            *message = closer.lastText();
        return result;
    }

    QString userDir() const { return profileDir + QStringLiteral("/Application Data/Nubivista"); }
    QString loopDir() const { return userDir() + QStringLiteral("/Loop Images"); }

    QTemporaryDir root;
    QString appDir;
    QString profileDir;
    Settings settings;
};

} // namespace

TEST_F(Startup, FirstRunCreatesTheTreeAndSeedsTheSampleSetAndSettings) {
    const auto result = start();
    ASSERT_TRUE(result);
    EXPECT_TRUE(QFileInfo(userDir() + QStringLiteral("/Saved Image Sets")).isDir());
    EXPECT_EQ(readBytes(result->paths.setRecPath), QByteArray(494, 's'));
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(readBytes(loopDir() + QStringLiteral("/latest%1.gif").arg(n)),
                  "sample " + QByteArray::number(n));
    EXPECT_FALSE(QFile::exists(loopDir() + QStringLiteral("/latest12.gif")));
    EXPECT_EQ(readBytes(result->paths.iniPath),
              readBytes(appDir + QStringLiteral("/Nubivista.ini")));
    EXPECT_EQ(settings.NationalMapUrl, kDefaultNationalMapUrl);
}

TEST_F(Startup, TheUsersOwnSettingsAreNeverReplacedByTheProgramFoldersCopy) {
    Settings mine;
    mine.RefreshIntervalMinutes = 11;
    mine.MsgOffMap[13] = QLatin1Char('1');
    QDir().mkpath(userDir());
    ASSERT_TRUE(saveSettingsFile(userDir() + QStringLiteral("/Nubivista.ini"), mine).ok);
    ASSERT_TRUE(start());
    EXPECT_EQ(settings.RefreshIntervalMinutes, 11);
    EXPECT_EQ(settings.MsgOffMap.at(13), QLatin1Char('1'));
}

TEST_F(Startup, AProgramFolderSettingsFileUnder700BytesEndsTheStart) {
    const QString shipped = appDir + QStringLiteral("/Nubivista.ini");
    ASSERT_TRUE(writeBytes(shipped, readBytes(shipped).left(699)));
    QString shown;
    EXPECT_FALSE(start(&shown));
    EXPECT_EQ(shown, QDir::toNativeSeparators(userDir() + QStringLiteral("/Saved Image Sets")) +
                         QStringLiteral(" Dir, or Error Creating It"));
    EXPECT_FALSE(QFile::exists(userDir() + QStringLiteral("/Nubivista.ini")));

    // 700 bytes is enough: the missing bytes read as zeros and are repaired.
    ASSERT_TRUE(writeBytes(shipped, readBytes(shipped).left(699) + QByteArray(1, ' ')));
    ASSERT_TRUE(start());
    EXPECT_EQ(settings.NationalMapUrl, kDefaultNationalMapUrl);
}

TEST_F(Startup, AMissingSampleImageIsToldOnceAndAFileInPlaceOfAFolderNamesIt) {
    ASSERT_TRUE(QFile::remove(appDir + QStringLiteral("/Sample Loop Images/latest7.gif")));
    QString shown;
    EXPECT_FALSE(start(&shown));
    EXPECT_EQ(shown, QStringLiteral("No App Source Data\\App\\Loop Images Dir, Or Error Copying "
                                    "It's Files To User Dir."));
    EXPECT_TRUE(start()); // the loop folder exists now: nothing more is seeded

    const QString savedSets = userDir() + QStringLiteral("/Saved Image Sets");
    ASSERT_TRUE(QDir(savedSets).removeRecursively());
    ASSERT_TRUE(writeBytes(savedSets, "not a folder"));
    EXPECT_FALSE(start(&shown));
    EXPECT_EQ(shown,
              QDir::toNativeSeparators(savedSets) + QStringLiteral(" Dir, or Error Creating It"));
}

TEST_F(Startup, ASecondInstanceIsToldAndTouchesNothing) {
    const QString lock = root.filePath(QStringLiteral("run/nubivista.lock"));
    LockFileInstanceGuard running(lock);
    ASSERT_TRUE(running.claim());
    LockFileInstanceGuard second(lock);
    QString shown;
    EXPECT_FALSE(start(&shown, &second));
    EXPECT_EQ(shown,
              QStringLiteral("\n\n\nRunning Multiple Instances Of\nNubivista\nIs Not Supported."));
    EXPECT_FALSE(QFileInfo::exists(userDir()));
    EXPECT_TRUE(running.claim());
}

TEST(ConnectionAtStart, DecidesWhetherTheFirstMapSwitchesBackOnline) {
    const struct {
        std::optional<ConnectionAtStart> state;
        std::optional<bool> switchSucceeds; // absent: the switch must not be tried
        bool switchDone;                    // true: nothing for the first map load to switch back
    } cases[] = {
        {std::nullopt, std::nullopt, false},                   // the state cannot be read
        {ConnectionAtStart{true, false}, std::nullopt, false}, // connected
        {ConnectionAtStart{false, true}, std::nullopt, true},  // offline by the user's choice
        {ConnectionAtStart{false, false}, true, false},        // put offline until the map loads
        {ConnectionAtStart{false, false}, false, true},        // the switch failed
    };
    for (const auto& c : cases) {
        bool tried = false;
        const bool done = onlineSwitchDoneAtStart(c.state, [&] {
            tried = true;
            return c.switchSucceeds.value_or(true);
        });
        EXPECT_EQ(done, c.switchDone) << (c.state ? c.state->connected : -1);
        EXPECT_EQ(tried, c.switchSucceeds.has_value());
    }
}

TEST(AppPaths, LocalPageAddressesKeepCaseAndEscapeSpacesSoTheyOpenOnACaseSensitiveDisk) {
    const AppPaths p = derivePaths(QStringLiteral("/Program Files/X"), QStringLiteral("/p"));
    EXPECT_EQ(p.beginNav.url.toString(QUrl::FullyEncoded),
              QStringLiteral("file:///Program%20Files/X/BeginNav.htm"));
    EXPECT_EQ(p.beginNav.url.toLocalFile(), p.beginNav.path);
    EXPECT_TRUE(sameAddress(QStringLiteral("file:///program%20files/x/beginnav.htm"),
                            p.beginNav.url.toString(QUrl::FullyEncoded)));
    EXPECT_FALSE(sameAddress(p.beginNav.url.toString(), p.appClose.url.toString()));
}

TEST(InstanceGuard, OnlyALockHeldByARunningInstanceRefusesTheStart) {
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("run/nubivista.lock"));
    auto first = std::make_unique<LockFileInstanceGuard>(lock);
    ASSERT_TRUE(first->claim());
    LockFileInstanceGuard second(lock);
    EXPECT_FALSE(second.claim());
    first.reset();
    EXPECT_TRUE(second.claim());

    // A lock left by a process that is gone (pid, name, host as QLockFile writes them).
    const QString stale = dir.filePath(QStringLiteral("stale.lock"));
    ASSERT_TRUE(
        writeBytes(stale, "999999\nnubivista\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    EXPECT_TRUE(LockFileInstanceGuard(stale).claim());
    // A lock file that cannot be made at all does not keep the user out.
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(writeBytes(notAFolder, "x"));
    EXPECT_TRUE(LockFileInstanceGuard(notAFolder + QStringLiteral("/nubivista.lock")).claim());
}
