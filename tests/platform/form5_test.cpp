// The relay window: it never shows itself, and opens addresses in the sibling
// program when that is installed beside the program folder, otherwise in the
// user's default browser.
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
            return startSucceeds;
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
        QFile program(skyfolio());
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    }
    QString skyfolio() const { return root.filePath("Skyfolio2/Skyfolio2"); }

    QTemporaryDir root;
    core::AppPaths paths;
    QStringList started;
    QList<QUrl> opened;
    bool desktopHasBrowser = true;
    QList<QUrl> notOpened;
    bool startSucceeds = true;
    FakeBrowserPane* pane = nullptr; // owned by the form
    std::unique_ptr<Form5> form;
};

TEST_F(Form5Test, OpensAnAddressInSkyfolioOrElseTheDefaultBrowser) {
    struct Case {
        const char* name;
        bool installed;
        bool startSucceeds;
        QString address;
        bool expectStarted;
        bool expectOpened;
    };
    const Case cases[] = {
        {"installed", true, true, Link, true, false},
        {"absent", false, true, Link, false, true},
        {"fails to start", true, false, Link, true, true},
        {"local file", true, true, QStringLiteral("file:///etc/passwd"), false, false},
        {"not an address", true, true, QStringLiteral("-x"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.installed)
            installSkyfolio();
        else
            QFile::remove(skyfolio());
        startSucceeds = c.startSucceeds;
        started.clear();
        opened.clear();
        form->OpenInNewWindow(c.address);
        EXPECT_EQ(pane->navigations.last().targetFrame, "_blank");
        EXPECT_EQ(started,
                  c.expectStarted ? QStringList{skyfolio() + u' ' + c.address} : QStringList{});
        EXPECT_EQ(opened, c.expectOpened ? QList<QUrl>{QUrl(c.address)} : QList<QUrl>{});
        // The relay window never opens a window of its own.
        EXPECT_TRUE(pane->lastNewWindow.cancel);
        EXPECT_TRUE(form->relayAddress().isEmpty());
    }
}

} // namespace
} // namespace nubivista::acquisition

namespace nubivista::acquisition {
namespace {

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
