#include "core/app_paths.h"
#include "core/file_checks.h"
#include "core/instance_guard.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace nubivista::core;
using nubivista::testing::writeBytes;

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
