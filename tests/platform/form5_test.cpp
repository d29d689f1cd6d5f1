// The relay window: only the program's own local pages open, and a page
// still opens, or the user is told, without a desktop browser.
#include "acquisition/form5.h"
#include "platform/fake_browser_pane.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

} // namespace
} // namespace nubivista::acquisition
