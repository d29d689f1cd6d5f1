// The relay window: only the program's own local pages open, and a page
// still opens, or the user is told, without a desktop browser. Opening an
// address on the desktop: the program learns when the desktop has no opener,
// or its opener could not open the address, and only then.
#include "acquisition/form5.h"
#include "acquisition/platform/desktop_opener.h"
#include "platform/fake_browser_pane.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace nubivista::acquisition {
namespace {

using platform::testing::FakeBrowserPane;

const QString Link = QStringLiteral("http://weather.noaa.gov/radar/help.html");

class Form5Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(root.path()).mkpath("Nubivista"));
        paths = core::derivePaths(root.filePath("Nubivista"), root.filePath("profile"));
        RelayLaunchers launchers;
        launchers.startProgram = [this](const QString& program, const QStringList& arguments) {
            started.append(program + u' ' + arguments.join(u' '));
            return true;
        };
        launchers.openInDefaultBrowser = [this](const QUrl& address, std::function<void()> failed) {
            opened.append(address);
            if (!desktopHasBrowser)
                failed();
        };
        launchers.tellNotOpened = [this](const QUrl& address) { notOpened.append(address); };
        pane = new FakeBrowserPane;
        form = std::make_unique<Form5>(paths, pane, launchers);
    }

    void installSkyfolio() {
        ASSERT_TRUE(QDir(root.path()).mkpath("Skyfolio2"));
        QFile program(root.filePath("Skyfolio2/Skyfolio2"));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    }

    QTemporaryDir root;
    core::AppPaths paths;
    QStringList started;
    QList<QUrl> opened;
    bool desktopHasBrowser = true;
    QList<QUrl> notOpened;
    FakeBrowserPane* pane = nullptr; // owned by the form
    std::unique_ptr<Form5> form;
};

TEST_F(Form5Test, TheProgramsOwnPagesOpenInTheBrowserButNoOtherLocalFile) {
    const QString help = root.filePath("Nubivista/NubivistaHelp.htm");
    const QString other = root.filePath("profile/secret.htm");
    for (const QString& path : {help, other}) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile page(path);
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    }
    installSkyfolio();
    form->OpenInNewWindow(QUrl::fromLocalFile(help).toString());
    form->OpenInNewWindow(QUrl::fromLocalFile(other).toString());
    form->OpenInNewWindow(QUrl::fromLocalFile(root.filePath("Nubivista/missing.htm")).toString());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front().toLocalFile(), help);
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(Form5Test, WithNoDesktopBrowserThePageOpensInTheProgramsOwnWindowOrASayingMessage) {
    const QString help = root.filePath("Nubivista/NubivistaHelp.htm");
    QFile page(help);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    desktopHasBrowser = false;
    form->OpenInNewWindow(QUrl::fromLocalFile(help).toString());
    form->OpenInNewWindow(Link);
    EXPECT_EQ(pane->ownWindows, (QList<QUrl>{QUrl::fromLocalFile(help), QUrl(Link)}));
    EXPECT_TRUE(notOpened.isEmpty());

    // Not even a window of its own: the user is told, nothing happens silently.
    pane->ownWindowsOpen = false;
    form->OpenInNewWindow(Link);
    EXPECT_EQ(notOpened, QList<QUrl>{QUrl(Link)});
}

// The feed answers only through the program's own Internet layer: its pages
// never go to the sibling program or the desktop's browser.
TEST_F(Form5Test, TheFeedsPagesOpenInTheProgramsOwnWindow) {
    installSkyfolio();
    const QString status = QStringLiteral("http://weather.noaa.gov/status");
    form->OpenFeedPage(status);
    EXPECT_EQ(pane->ownWindows, QList<QUrl>{QUrl(status)});
    EXPECT_TRUE(started.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
} // namespace nubivista::acquisition

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
        ASSERT_TRUE(nubivista::testing::writeScript(bin.filePath("xdg-open"),
                                                    QStringLiteral("echo \"$1\" > '%1'\nexit %2\n")
                                                        .arg(bin.filePath("opened"))
                                                        .arg(exitCode)
                                                        .toLocal8Bit()));
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
