// The loop animation as a user meets it: Run/Stop and Loop/Rock by mouse, the
// order and timing of the shown tabs as Timer4 drives them, the loop delay
// buttons clicked and held.
#include "display/loop_animation.h"
#include "display/tab_display.h"
#include "press_and_hold.h"
#include "window_fixture.h"

#include <QSignalSpy>
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

    display::LoopAnimation& animation() { return display().animation(); }
    QTimer& timer4() { return animation().Timer4(); }
    int selectedTab() { return display().tabs().selectedTab(); }

    void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(widget, button, modifiers);
    }

    // One new image in slot, as the auto-refresh process stores it.
    void storeSlot(int slot) {
        const QString target = loop().slotFile(slot);
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(nubivista::testing::sampleSetDir() + QStringLiteral("/latest1.gif"),
                                target));
        loop().storeImage(slot, 46362.5 + (slot - 1) / 1440.0);
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
        click(controls().Command18);
        Shown first = shown;
        first.resize(std::min<std::size_t>(first.size(), count));
        return first;
    }

    Shown shown;
};

} // namespace

TEST_F(LoopAnimationTest, LoadTakesTheDelayAndTheModeFromTheSettings) {
    settings.LoopDelayMs = 250;
    settings.RockMode = 1;
    showWindow();
    EXPECT_EQ(timer4().interval(), 250);
    EXPECT_FALSE(timer4().isActive());
    EXPECT_EQ(controls().Text11->text(), QStringLiteral("250"));
    EXPECT_EQ(controls().Command19->text(), QStringLiteral("Loop"));
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Run"));
}

TEST_F(LoopAnimationTest, LoopRockCaptionNamesTheModeAClickSwitchesTo) {
    showWindow();
    EXPECT_EQ(controls().Command19->text(), QStringLiteral("Rock"));
    click(controls().Command19);
    EXPECT_EQ(controls().Command19->text(), QStringLiteral("Loop"));
    EXPECT_EQ(settings.RockMode, 1);
    click(controls().Command19, Qt::RightButton);
    EXPECT_EQ(controls().Command19->text(), QStringLiteral("Rock"));
    EXPECT_EQ(settings.RockMode, 0);
}

TEST_F(LoopAnimationTest, RunWithFewerThanTwoImagesDoesNotStart) {
    showWindow();
    click(controls().Command18);
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Run"));
    fillSlots(1);
    click(controls().Command18);
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Run"));
    EXPECT_FALSE(timer4().isActive());
    EXPECT_TRUE(controls().Command60->isEnabled());
    EXPECT_TRUE(controls().Command61->isEnabled());
}

TEST_F(LoopAnimationTest, RunAndStopSwitchCaptionTimerAndStepButtonsAndStopStartsOver) {
    showWindow();
    fillSlots(3);
    recordTicks();
    click(controls().Command18, Qt::RightButton); // any button
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(timer4().isActive());
    EXPECT_FALSE(controls().Command60->isEnabled());
    EXPECT_FALSE(controls().Command61->isEnabled());
    EXPECT_EQ(firstTicks(2), (Shown{{1, dF}, {2, d}}));
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Run"));
    EXPECT_FALSE(timer4().isActive());
    EXPECT_TRUE(controls().Command60->isEnabled());
    EXPECT_TRUE(controls().Command61->isEnabled());

    shown.clear();
    click(controls().Command18);
    EXPECT_EQ(firstTicks(1), (Shown{{1, dF}}));
}

TEST_F(LoopAnimationTest, LoopModeRunsForwardAndStartsOver) {
    showWindow();
    fillSlots(4);
    recordTicks();
    click(controls().Command18);
    EXPECT_EQ(firstTicks(9),
              (Shown{{1, dF}, {2, d}, {3, d}, {4, dL}, {1, dF}, {2, d}, {3, d}, {4, dL}, {1, dF}}));
}

TEST_F(LoopAnimationTest, RockModeRunsForwardAndBackShowingEachEndOnce) {
    settings.RockMode = 1;
    showWindow();
    fillSlots(4);
    recordTicks();
    click(controls().Command18);
    EXPECT_EQ(
        firstTicks(10),
        (Shown{
            {1, dF}, {2, d}, {3, d}, {4, dL}, {3, d}, {2, d}, {1, dF}, {2, d}, {3, d}, {4, dL}}));
}

TEST_F(LoopAnimationTest, SkippedTabsArePassedOverAndTheRunStartsAtTheFirstUnskipped) {
    showWindow();
    fillSlots(5);
    controls().Check4[1]->click();
    controls().Check4[2]->click();
    ASSERT_TRUE(controls().Check4[1]->isChecked());
    ASSERT_TRUE(controls().Check4[2]->isChecked());
    recordTicks();
    click(controls().Command18);
    EXPECT_EQ(firstTicks(4), (Shown{{3, dF}, {4, d}, {5, dL}, {3, dF}}));
}

TEST_F(LoopAnimationTest, SwitchingToLoopWhileRunningBackwardFinishesTheBackwardRun) {
    settings.RockMode = 1;
    showWindow();
    fillSlots(3);
    recordTicks([this](int ticks) {
        if (ticks == 4) // tab 2 on the way back
            click(controls().Command19);
    });
    click(controls().Command18);
    EXPECT_EQ(firstTicks(8),
              (Shown{{1, dF}, {2, d}, {3, dL}, {2, d}, {1, dF}, {1, dF}, {2, d}, {3, dL}}));
    EXPECT_EQ(settings.RockMode, 0);
}

TEST_F(LoopAnimationTest, ANewImageArrivingMidRunJoinsTheRun) {
    showWindow();
    fillSlots(3);
    recordTicks([this](int ticks) {
        if (ticks == 2)
            storeSlot(4);
    });
    click(controls().Command18);
    EXPECT_EQ(firstTicks(6), (Shown{{1, dF}, {2, d}, {3, d}, {4, dL}, {1, dF}, {2, d}}));
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Run"));
}

TEST_F(LoopAnimationTest, Command19IsDisabledWhileATickShowsItsTab) {
    showWindow();
    fillSlots(3);
    std::vector<bool> enabledDuringTick;
    QObject::connect(controls().TabStrip1, &QTabBar::currentChanged, &form(),
                     [&] { enabledDuringTick.push_back(controls().Command19->isEnabled()); });
    recordTicks();
    click(controls().Command18);
    firstTicks(3);
    ASSERT_GE(enabledDuringTick.size(), 2u);
    for (bool enabled : enabledDuringTick)
        EXPECT_FALSE(enabled);
    EXPECT_TRUE(controls().Command19->isEnabled());
}

TEST_F(LoopAnimationTest, TheLastImageStaysAtMostSixtySeconds) {
    settings.LoopDelayMs = 5000;
    settings.LastExtraMs = 60000;
    showWindow();
    fillSlots(2);
    click(controls().Command18);
    animation().LoopTick();
    EXPECT_EQ(timer4().interval(), 5000 + settings.FirstExtraMs);
    animation().LoopTick();
    EXPECT_EQ(selectedTab(), 2);
    EXPECT_EQ(timer4().interval(), 60000);
    click(controls().Command18);
}

TEST_F(LoopAnimationTest, DelayButtonsStepByTenOrFiftyWithCtrlAloneAndOnlyForTheLeftButton) {
    settings.LoopDelayMs = 1000;
    showWindow();
    const auto clickDelay = [this](QWidget* button, Qt::MouseButton mouse,
                                   Qt::KeyboardModifiers modifiers) {
        pressAndHold(
            button, mouse, [] { return false; }, modifiers);
        return controls().Text11->text().toInt();
    };
    EXPECT_EQ(clickDelay(controls().Command40, Qt::LeftButton, Qt::NoModifier), 990);
    EXPECT_EQ(timer4().interval(), 990);
    EXPECT_EQ(settings.LoopDelayMs, 990);
    EXPECT_EQ(clickDelay(controls().Command41, Qt::LeftButton, Qt::ControlModifier), 1040);
    EXPECT_EQ(
        clickDelay(controls().Command41, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier),
        1050);
    EXPECT_EQ(clickDelay(controls().Command40, Qt::RightButton, Qt::NoModifier), 1050);
    EXPECT_EQ(clickDelay(controls().Command41, Qt::MiddleButton, Qt::ControlModifier), 1050);
    EXPECT_EQ(timer4().interval(), 1050);
}

TEST_F(LoopAnimationTest, HoldingDecreaseWithCtrlFromOneSecondReachesTenAndStays) {
    settings.LoopDelayMs = 1000;
    showWindow();
    std::vector<int> seen;
    QObject::connect(controls().Text11, &QLineEdit::textChanged, &form(),
                     [&](const QString& text) { seen.push_back(text.toInt()); });
    std::int32_t reachedAt = 0;
    pressAndHold(
        controls().Command40, Qt::LeftButton,
        [&] {
            if (reachedAt == 0 && settings.LoopDelayMs == 10)
                reachedAt = clock.tickCount();
            // A few more repeats after reaching the bottom.
            return reachedAt == 0 || clock.tickCount() - reachedAt < 300;
        },
        Qt::ControlModifier);
    std::vector<int> expected;
    for (int delay = 950; delay >= 50; delay -= 50)
        expected.push_back(delay);
    expected.push_back(10);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(settings.LoopDelayMs, 10);
    EXPECT_EQ(timer4().interval(), 10);
}

TEST_F(LoopAnimationTest, CtrlIsReadAgainAtEveryRepeat) {
    settings.LoopDelayMs = 1000;
    showWindow();
    std::vector<int> seen;
    QObject::connect(controls().Text11, &QLineEdit::textChanged, &form(),
                     [&](const QString& text) { seen.push_back(text.toInt()); });
    bool letGo = false;
    pressAndHold(
        controls().Command40, Qt::LeftButton,
        [&] {
            if (!letGo && settings.LoopDelayMs <= 900) {
                letGo = true;
                QTest::keyRelease(controls().Command40, Qt::Key_Control);
            }
            return settings.LoopDelayMs > 880;
        },
        Qt::ControlModifier);
    EXPECT_EQ(seen, (std::vector<int>{950, 900, 890, 880}));
}

TEST_F(LoopAnimationTest, HoldingTheDelayKeepsTheLoopTicking) {
    settings.LoopDelayMs = 1000;
    showWindow();
    fillSlots(3);
    recordTicks();
    click(controls().Command18);
    // Each repeat lowers the delay by 10 ms every 50 ms; the shown image keeps
    // its time and the next tick takes the new delay.
    pressAndHold(controls().Command40, Qt::LeftButton, [&] { return shown.size() < 2; });
    ASSERT_GE(shown.size(), 2u);
    EXPECT_LT(shown[1].second, 1000);
    click(controls().Command18);
}
