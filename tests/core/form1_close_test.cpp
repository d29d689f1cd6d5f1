// The main window's placement and close: what the close stores, the default
// placement when the stored one cannot place the window, the order the
// windows close in, and a termination signal closing it the ordinary way.
#include "core/app_paths.h"
#include "core/close_on_signal.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "core/window_placement.h"
#include "modal_helpers.h"
#include "support/file_size_limit.h"
#include "support/files.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace nubivista::core;

namespace {

const WindowPlacement kStored{1000, 800, 9000, 7000};

class ClosingWindow : public QMainWindow {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        QMainWindow::closeEvent(event);
    }
};

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

TEST_F(Form1Close, TheProgramsCaptionMarkStaysLastWhenTheTitleChanges) {
    Form1 form(settings, paths, messages, clock);
    form.setCaptionMark(QStringLiteral(" [demo]"));
    form.setWindowTitle(form.windowTitle() + QStringLiteral(" - Working Offline"));
    EXPECT_TRUE(form.windowTitle().endsWith(QLatin1String(" - Working Offline [demo]")))
        << form.windowTitle().toStdString();
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

TEST(PlacementAtClose, OnlyANormalWindowOfUsefulSizeIsStored) {
    struct Case {
        const char* name;
        WindowShowState state;
        WindowPlacement current;
        bool stored;
    };
    const Case cases[] = {
        {"normal and big enough", WindowShowState::Normal, {50, 60, 10000, 8000}, true},
        {"exactly the smallest", WindowShowState::Normal, {50, 60, 6045, 5355}, true},
        {"6044 wide", WindowShowState::Normal, {50, 60, 6044, 8000}, false},
        {"5354 high", WindowShowState::Normal, {50, 60, 10000, 5354}, false},
        {"maximised", WindowShowState::Maximized, {0, 0, 28800, 15600}, false},
        {"minimised", WindowShowState::Minimized, {50, 60, 10000, 8000}, false},
    };
    for (const Case& c : cases) {
        const WindowPlacement result = placementAtClose(kStored, c.current, c.state);
        EXPECT_EQ(result, c.stored ? c.current : kStored) << c.name;
    }
}

TEST(DefaultPlacement, UsedWhenTheStoredPlacementCannotPlaceAWindow) {
    const WindowPlacement work{0, 0, 28800, 15600};
    for (const WindowPlacement& stored : {WindowPlacement{0, 0, 0, 0},
                                          {100, 100, 0, 7000},
                                          {100, 100, 9000, -1},
                                          {100, 100, NAN, 7000}})
        EXPECT_EQ(placementAtStart(stored, work), defaultPlacement(work)) << stored.width;
    EXPECT_EQ(placementAtStart(kStored, work), kStored);
    EXPECT_EQ(placementAtStart({0, 0, 9000, 7000}, work), (WindowPlacement{0, 0, 9000, 7000}));
}

TEST(CloseOnSignal, ATerminationSignalClosesTheMainWindowTheOrdinaryWay) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ClosingWindow window;
        window.show();
        CloseOnSignal guard(&window);
        ASSERT_EQ(std::raise(signal), 0);
        QTRY_COMPARE_WITH_TIMEOUT(window.closes, 1, 2000);
        EXPECT_FALSE(window.isVisible());
    }
}
