// Opening an address on the desktop: the program learns when the desktop has
// no opener, or its opener could not open the address, and only then.
#include "acquisition/platform/desktop_opener.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace nubivista::platform {
namespace {

class DesktopOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("PATH", savedPath); }

    // An xdg-open that notes its argument and ends with the given code.
    // A new file each time: an opener still running keeps reading its own.
    void installOpener(int exitCode) {
        QFile::remove(bin.filePath("xdg-open"));
        QFile script(bin.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\nexit %2\n")
                         .arg(bin.filePath("opened"))
                         .arg(exitCode)
                         .toLocal8Bit());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    QString openedAddress() {
        QFile note(bin.filePath("opened"));
        return note.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(note.readAll()).trimmed()
                                              : QString();
    }

    QTemporaryDir bin;
    QByteArray savedPath;
    const QUrl address = QUrl(QStringLiteral("https://example.org/radar page.html"));
};

TEST_F(DesktopOpenerTest, NoOpenerOnTheDesktopIsReportedAfterTheCall) {
    bool failed = false;
    openWithDesktop(address, [&failed] { failed = true; });
    EXPECT_FALSE(failed) << "never inside the call";
    QTRY_VERIFY_WITH_TIMEOUT(failed, 5000);
}

TEST_F(DesktopOpenerTest, AnOpenerThatFailsIsReportedOneThatSucceedsIsNot) {
    installOpener(3); // xdg-open's code for "no method available"
    bool failed = false;
    openWithDesktop(address, [&failed] { failed = true; });
    QTRY_VERIFY_WITH_TIMEOUT(failed, 5000);
    EXPECT_EQ(openedAddress(), address.toString(QUrl::FullyEncoded));

    // A succeeding opener: a failing one started after it ends after it, so
    // once that is reported, the first one's end has been seen too.
    installOpener(0);
    QFile::remove(bin.filePath("opened"));
    bool firstFailed = false;
    openWithDesktop(address, [&firstFailed] { firstFailed = true; });
    QTRY_COMPARE_WITH_TIMEOUT(openedAddress(), address.toString(QUrl::FullyEncoded), 5000);
    installOpener(3);
    bool secondFailed = false;
    openWithDesktop(address, [&secondFailed] { secondFailed = true; });
    QTRY_VERIFY_WITH_TIMEOUT(secondFailed, 5000);
    EXPECT_FALSE(firstFailed);
}

} // namespace
} // namespace nubivista::platform
