#pragma once
// The assembled main window on fake browser panes, in its own temporary user
// folder, with a test clock; the sample loop's images can be put in its slots.
#include "app/main_window.h"
#include "core/message_service.h"
#include "platform/fake_browser_pane.h"
#include "sets/set_record.h"
#include "support/files.h"
#include "support/shown_messages.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace nubivista::testing {

inline QString sampleSetDir() {
    return QStringLiteral(NUBIVISTA_APP_DIR) + QStringLiteral("/Sample Loop Images");
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        paths = core::derivePaths(QStringLiteral(NUBIVISTA_APP_DIR), home.path());
        QDir().mkpath(paths.loopImagesDir);
        QDir().mkpath(paths.savedSetsDir);
        clock.setAdvancePerRead(1);
        recordMessages(messages, shown, decline);
        makeWindow();
    }

    void makeWindow() {
        app::MainWindowServices services;
        services.settings = &settings;
        services.paths = paths;
        services.messages = &messages;
        services.clock = &clock;
        services.makePane = [this] {
            auto* pane = new platform::testing::FakeBrowserPane;
            panes.push_back(pane);
            return pane;
        };
        services.openInNewWindow = [this](const QString& address) { newWindows << address; };
        services.openFeedPage = [this](const QString& address) { feedPages << address; };
        // The set commands' file dialogs choose setFile; cancelled when empty.
        services.chooseSetFile = [this](sets::SetDialog, const QString&,
                                        const QString&) -> std::optional<sets::ChosenFile> {
            if (setFile.isEmpty())
                return std::nullopt;
            return sets::ChosenFile{setFile, QFileInfo(setFile).fileName()};
        };
        services.chooseGifFile = [this](const QString& folder,
                                        const QString& fileName) -> std::optional<QString> {
            gifDialogs.append({folder, fileName});
            return gifChooser ? gifChooser(folder, fileName) : std::nullopt;
        };
        services.internet = internet;
        services.feedProcess = feedProcess;
        services.onlineSwitchDone = true;
        window = std::make_unique<app::MainWindow>(services);
    }

    core::Form1& form() { return window->form1(); }
    display::LoopDisplay& display() { return window->display(); }
    display::DisplayControls& controls() { return window->display().controls(); }
    sets::LoopSet& loop() { return window->loop(); }
    platform::testing::FakeBrowserPane* imagePane() { return panes.at(0); }
    platform::testing::FakeBrowserPane* mapPane() { return panes.at(1); }

    // Loads, shows and activates the window as start-up does.
    void showWindow(QSize size = {900, 700}) {
        form().Form_Load();
        form().resize(size);
        form().show();
        form().Form_Activate();
        QApplication::processEvents();
    }

    // Copies the first count sample images into slots 1..count and stores
    // them one minute apart from 12:00 UTC, 6 December 2026.
    void fillSlots(int count) {
        for (int slot = 1; slot <= count; ++slot) {
            const QString sample = samplePicture(slot);
            const QString target = loop().slotFile(slot);
            QFile::remove(target);
            ASSERT_TRUE(QFile::copy(sample, target)) << sample.toStdString();
            loop().storeImage(slot, 46362.5 + (slot - 1) / 1440.0);
        }
        loop().updateModel(
            [count](sets::SlotModel& m) { m.newestSlot = static_cast<std::int16_t>(count); });
    }

    template <typename T = QWidget> T* child(const char* name) {
        return form().findChild<T*>(QString::fromLatin1(name));
    }

    QTemporaryDir home;
    core::AppPaths paths;
    core::Settings settings;
    core::MessageService messages{settings.MsgOffMap};
    core::ManualClock clock;
    // Every message shown; questions are answered Yes (or Okay) unless declined.
    QList<ShownMessage> shown;
    bool decline = false;
    std::vector<platform::testing::FakeBrowserPane*> panes;
    QStringList newWindows;
    QStringList feedPages;
    // Answers the loop export's save dialog; cancelled when empty.
    std::function<std::optional<QString>(const QString& folder, const QString& fileName)>
        gifChooser;
    QList<QStringList> gifDialogs; // folder, suggested name
    QString setFile;               // the record the set dialogs choose
    // The Internet layer the window is made with; one that reaches nothing
    // when null.
    platform::InternetService* internet = nullptr;
    acquisition::FeedProcess* feedProcess = nullptr; // the program's own feed, if it has one
    std::unique_ptr<app::MainWindow> window;
};

} // namespace nubivista::testing
