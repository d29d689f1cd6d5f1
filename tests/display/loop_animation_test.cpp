// The loop animation as a user meets it: Run/Stop and Loop/Rock by mouse, the
// shown tabs as the window's Timer4 drives them. The order and timing rules
// are in loop_sequence_test.cpp.
#include "display/loop_animation.h"
#include "display/tab_display.h"
#include "press_and_hold.h"
#include "window_fixture.h"

#include <QScreen>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

using namespace nubivista;
using nubivista::testing::MainWindowTest;
using nubivista::testing::pressAndHold;

namespace {

constexpr int d = 20;
constexpr int dF = d + 30;
constexpr int dL = d + 50;

using Shown = std::vector<std::pair<int, int>>; // tab, Timer4's interval after the tick

class LoopAnimationTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        settings.LoopDelayMs = d;
        settings.FirstExtraMs = dF - d;
        settings.LastExtraMs = dL - d;
        settings.RockMode = 0;
        // The hold waits look at the clock about every 10 ms of real time.
        clock.setAdvancePerRead(10);
    }

    QTimer& timer4() { return display().animation().Timer4(); }
    int selectedTab() { return display().tabs().selectedTab(); }
    QString runCaption() { return controls().Command18->text(); }
    void clickRun(Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(controls().Command18, button);
    }
    bool stepButtonsEnabled() {
        return controls().Command60->isEnabled() && controls().Command61->isEnabled();
    }

    // Records every tick of Timer4 (after the loop's own handler has run) and
    // runs atTick with the number of ticks so far.
    void recordTicks(std::function<void(int)> atTick = {}) {
        QObject::connect(&timer4(), &QTimer::timeout, &form(), [this, atTick] {
            shown.emplace_back(selectedTab(), timer4().interval());
            if (atTick)
                atTick(static_cast<int>(shown.size()));
        });
    }

    // Waits for count ticks and stops the loop; the first count are returned.
    Shown firstTicks(int count) {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(static_cast<int>(shown.size()) >= count, 10000); }();
        clickRun();
        Shown first = shown;
        first.resize(std::min<std::size_t>(first.size(), count));
        return first;
    }

    Shown shown;
};

} // namespace

TEST_F(LoopAnimationTest, Timer4RocksOverTheUnskippedTabsUntilStopAndStopStartsOver) {
    settings.RockMode = 1;
    showWindow();
    fillSlots(5);
    controls().Check4[1]->click();
    controls().Check4[2]->click();
    ASSERT_TRUE(controls().Check4[1]->isChecked() && controls().Check4[2]->isChecked());
    // Loop/Rock is disabled while a tick shows its tab.
    std::vector<bool> enabledDuringTick;
    QObject::connect(controls().TabStrip1, &QTabBar::currentChanged, &form(),
                     [&] { enabledDuringTick.push_back(controls().Command19->isEnabled()); });
    recordTicks();
    clickRun(Qt::RightButton); // any button
    EXPECT_EQ(runCaption(), QStringLiteral("Stop"));
    EXPECT_TRUE(timer4().isActive());
    EXPECT_FALSE(controls().Command60->isEnabled() || controls().Command61->isEnabled());
    EXPECT_EQ(firstTicks(7), (Shown{{3, dF}, {4, d}, {5, dL}, {4, d}, {3, dF}, {4, d}, {5, dL}}));
    EXPECT_EQ(runCaption(), QStringLiteral("Run"));
    EXPECT_FALSE(timer4().isActive());
    EXPECT_TRUE(stepButtonsEnabled());
    ASSERT_GE(enabledDuringTick.size(), 2u);
    EXPECT_EQ(std::count(enabledDuringTick.begin(), enabledDuringTick.end(), true), 0);
    EXPECT_TRUE(controls().Command19->isEnabled());

    shown.clear();
    clickRun();
    EXPECT_EQ(firstTicks(1), (Shown{{3, dF}}));
}

// A step repaints only what it changes (bench_display counts how much); what
// the screen shows after such steps is what painting the window whole shows.
TEST_F(LoopAnimationTest, AfterPartialRepaintsTheWindowShowsWhatAWholePaintShows) {
    showWindow({1100, 900});
    fillSlots(5);
    window->panes().setMapPaneAside();
    display().tabs().selectTab(1);
    clickRun();
    timer4().stop(); // the steps are taken here
    for (int i = 0; i < 7; ++i) {
        display().animation().LoopTick();
        QApplication::processEvents();
    }
    const QImage onScreen = form().screen()->grabWindow(form().winId()).toImage();
    const QImage whole = form().grab().toImage();
    for (const QWidget* part :
         {static_cast<QWidget*>(controls().TabStrip1), static_cast<QWidget*>(controls().Image1)}) {
        const QRect area(part->mapTo(&form(), QPoint(0, 0)), part->size());
        EXPECT_EQ(onScreen.copy(area).convertToFormat(QImage::Format_RGB32),
                  whole.copy(area).convertToFormat(QImage::Format_RGB32))
            << part->objectName().toStdString();
    }
    // What a step does not change stays as it was: the Loop/Rock button and
    // the shown tab's skip box are enabled again after the step.
    EXPECT_TRUE(controls().Command19->isEnabled());
    EXPECT_TRUE(controls().Check4[selectedTab()]->isEnabled());
}

TEST_F(LoopAnimationTest, SwitchingToLoopWhileRunningBackwardFinishesTheBackwardRun) {
    settings.RockMode = 1;
    showWindow();
    fillSlots(3);
    recordTicks([this](int ticks) {
        if (ticks == 4) // tab 2 on the way back
            QTest::mouseClick(controls().Command19, Qt::LeftButton);
    });
    clickRun();
    EXPECT_EQ(firstTicks(8),
              (Shown{{1, dF}, {2, d}, {3, dL}, {2, d}, {1, dF}, {1, dF}, {2, d}, {3, dL}}));
    EXPECT_EQ(settings.RockMode, 0);
}

TEST_F(LoopAnimationTest, ANewImageArrivingMidRunJoinsTheRun) {
    showWindow();
    fillSlots(3);
    recordTicks([this](int ticks) {
        if (ticks != 2)
            return;
        // One new image in slot 4, as the auto-refresh process stores it.
        const QString target = loop().slotFile(4);
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(nubivista::testing::sampleSetDir() + QStringLiteral("/latest1.gif"),
                                target));
        loop().storeImage(4, 46362.5 + 3 / 1440.0);
    });
    clickRun();
    EXPECT_EQ(firstTicks(6), (Shown{{1, dF}, {2, d}, {3, d}, {4, dL}, {1, dF}, {2, d}}));
    EXPECT_EQ(runCaption(), QStringLiteral("Run"));
}
