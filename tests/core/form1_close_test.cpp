#include "core/app_paths.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "modal_helpers.h"
#include "support/file_size_limit.h"
#include "support/files.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nubivista::core;

namespace {

class Form1Close : public ::testing::Test {
protected:
    void SetUp() override {
        paths = derivePaths(root.filePath(QStringLiteral("app")), root.path());
        QDir().mkpath(paths.userDir);
        settings.MainLeft = 1500;
        settings.MainTop = 1200;
        settings.MainWidth = 9000;
        settings.MainHeight = 7500;
        ASSERT_TRUE(saveSettingsFile(paths.iniPath, settings).ok);
    }

    WindowPlacement storedPlacement() const {
        const auto loaded = loadSettingsFile(paths.iniPath);
        return loaded.settings ? mainWindowPlacement(*loaded.settings) : WindowPlacement{};
    }

    QTemporaryDir root;
    AppPaths paths;
    Settings settings;
    MessageService messages{settings.MsgOffMap};
    SystemClock clock;
};

} // namespace

TEST_F(Form1Close, TheLoadPlacesTheWindowAndANormalWindowStoresItsPlacementAtClose) {
    Form1 form(settings, paths, messages, clock);
    form.Form_Load();
    EXPECT_EQ(form.geometry(), QRect(100, 80, 600, 500));
    form.show();
    form.setGeometry(QRect(40, 60, 700, 520));
    form.close();
    EXPECT_EQ(storedPlacement(), (WindowPlacement{600, 900, 10500, 7800}));
}

TEST_F(Form1Close, AFailedSettingsWriteIsToldOnceAndKeepsTheOldFile) {
    const QByteArray before = nubivista::testing::readBytes(paths.iniPath);
    const nubivista::testing::ModalCloser closer;
    Form1 form(settings, paths, messages, clock);
    form.Form_Load();
    form.show();
    {
        nubivista::testing::FileSizeLimit diskFull(300);
        form.close();
        form.close();
    }
    EXPECT_EQ(closer.count(), 1);
    EXPECT_EQ(nubivista::testing::readBytes(paths.iniPath), before);
}

TEST_F(Form1Close, TheSmallWindowsCloseInTheProgramsOrderAndThenTheOthers) {
    Form1 form(settings, paths, messages, clock);
    form.Form_Load();
    std::vector<std::unique_ptr<QWidget>> windows;
    for (const char* name : {"Extra", "Form9", "Form3", "Form6"}) {
        windows.push_back(std::make_unique<QWidget>());
        windows.back()->show();
        form.addWindowToUnload(QString::fromLatin1(name), windows.back().get());
    }
    EXPECT_EQ(form.unloadOrder(), (QStringList{"Form3", "Form6", "Form9", "Extra"}));
    form.show();
    form.close();
    for (const auto& window : windows)
        EXPECT_FALSE(window->isVisible());
}
