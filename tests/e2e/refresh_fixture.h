#pragma once
// The assembled program with its Internet layer reaching every host through
// the radar simulator over loopback. Messages are answered and recorded; the
// national map is up when a test starts.
#include "acquisition/feed_process.h"
#include "acquisition/form5.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "app/main_window.h"
#include "core/message_service.h"
#include "platform/e2e_support.h"
#include "support/scoped_time_zone.h"

#include <QMap>
#include <QStringList>
#include <functional>
#include <memory>

namespace nubivista::e2e {

// Generous: a loaded machine may take long to start the browser engine.
inline constexpr int kPageTimeoutMs = 60000;

// Runs the event loop until done() holds or the time is up. Qt's own wait
// sleeps 10 ms between turns of the loop, and the browser engine, which hands
// every step of a page load through the UI thread, then takes seconds for a
// local page; here the loop waits for events instead.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace nubivista::e2e

// The QTRY waits of this suite on that loop.
#undef QTRY_VERIFY_WITH_TIMEOUT
#undef QTRY_COMPARE_WITH_TIMEOUT
#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeout)                                                    \
    ASSERT_TRUE(                                                                                   \
        ::nubivista::e2e::waitUntil([&]() -> bool { return static_cast<bool>(expr); }, timeout))   \
        << "waited " << (timeout) << " ms for " #expr
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout)                                       \
    do {                                                                                           \
        (void)::nubivista::e2e::waitUntil([&]() -> bool { return (actual) == (expected); },        \
                                          timeout);                                                \
        ASSERT_EQ(actual, expected) << "after waiting " << (timeout) << " ms";                     \
    } while (false)

namespace nubivista::e2e {

// The yellow pixels where a picture names its source, right of its title
// strip: the demo's SIMULATED is yellow, the live NWS LEVEL III is not.
int demoMarkPixels(const QByteArray& gif);

struct Message {
    int kind = 0;
    QString text;
    int id = 0;
};

class RefreshE2eTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;
    // The clock the program runs on, asked for once the simulator runs.
    virtual core::Clock& programClock() { return clock; }

    core::Form1& form() { return window->form1(); }
    sets::LoopSet& loop() { return window->loop(); }
    acquisition::RefreshProcess& refresh() { return window->refresh(); }
    display::DisplayControls& controls() { return window->display().controls(); }
    platform::WebEnginePane& mapPane() {
        return *qobject_cast<platform::WebEnginePane*>(window->panes().WebBrowser2);
    }

    // The national map over the picture again, as the map button shows it.
    void showMap();
    // A click on the site's spot of the national map, as the user makes it.
    void clickSite(const QString& site);
    // Clicks the site and waits until its first image is stored.
    void startProcessOn(const QString& site);
    // The simulator publishes the next frame and the process is told to
    // refresh, as the interval's end would; waits until it is stored.
    void publishAndRefresh();
    // With ownFeed: waits until the feed is ready and points sim at it.
    void attachToOwnFeed();

    int imagesStored() const { return imagesStored_; }
    // The shut-down a failure forces: no process, Command7 offers Restart.
    bool shutDown();
    // Every message shown so far, joined, for failure output.
    QString messageLog() const;

    QDateTime slotTimeUtc(int slot) const;
    QByteArray slotBytes(int slot) const;
    // The files of the filled slots, to compare after a failure.
    QMap<int, QByteArray> storedImages() const;

    // Set before SetUp: the simulator's arguments (its clock stands still, so
    // frames come only when published).
    QStringList simArguments{"--speed", "0"};
    // The program's own feed (the demo's simulator as a child it supervises)
    // instead of a simulator the test starts; sim then reaches that feed.
    bool ownFeed = false;
    // The layer's cache folder and picture source, as the program sets them
    // for its feed; the simulator's home/cache and any source when unset.
    platform::InternetLayerOptions layerOptions;
    // How long the panes' fetches wait for the server.
    int paneFetchTimeoutMs = 30000;
    // How many times faster than real time the process's timers run.
    double timeScale = 1;
    // Answers the Yes/No questions; Yes when empty.
    std::function<int(const Message&)> answer;
    QList<Message> messages;

    // Not UTC, so that every local-time step of the process is exercised.
    nubivista::testing::ScopedTimeZone zone{"America/Chicago"};
    std::unique_ptr<platform::testing::RadarSimProcess> sim;
    core::SystemClock clock;
    QTemporaryDir home;
    core::AppPaths paths;
    core::Settings settings;
    core::MessageService messageService{settings.MsgOffMap};
    std::unique_ptr<platform::InternetLayer> layer;
    std::unique_ptr<acquisition::FeedProcess> feed; // with ownFeed
    std::unique_ptr<platform::PaneProfile> profile;
    std::unique_ptr<acquisition::Form5> form5;
    QStringList relayed; // what the relay window was asked to open
    std::unique_ptr<app::MainWindow> window;

private:
    int imagesStored_ = 0;
    int mapLoads_ = 0;
};

} // namespace nubivista::e2e
