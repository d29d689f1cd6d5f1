// The step buttons beside the tabs with real mouse presses: clicks, holds,
// the left button stopping at the ends and the right one wrapping round.
#include "display/loop_animation.h"
#include "display/manual_stepping.h"
#include "display/tab_display.h"
#include "press_and_hold.h"
#include "window_fixture.h"

#include <utility>
#include <vector>

using namespace nubivista;
using nubivista::testing::MainWindowTest;
using nubivista::testing::pressAndHold;

namespace {

// Long enough for the step after a press, well inside the first pause.
constexpr int kClickMs = 200;

class ManualSteppingTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The waits look at the clock about every 10 ms of real time.
        clock.setAdvancePerRead(10);
        QObject::connect(controls().TabStrip1, &QTabBar::currentChanged, &form(),
                         [this] { changes.emplace_back(selectedTab(), clock.tickCount()); });
    }

    // Images in tabs 1 to 6, tab 3 skipped, tab shown.
    void sixImages(int shown, bool skipThird = true) {
        showWindow();
        fillSlots(6);
        if (skipThird) {
            controls().Check4[3]->click();
            ASSERT_TRUE(controls().Check4[3]->isChecked());
        }
        display().tabs().selectTab(shown);
        changes.clear();
    }

    int selectedTab() { return display().tabs().selectedTab(); }
    core::PressButton* lower() { return controls().Command60; }
    core::PressButton* higher() { return controls().Command61; }

    // A press released kClickMs later; returns the tab shown afterwards.
    int click(QWidget* button, Qt::MouseButton mouse) {
        const std::int32_t start = clock.tickCount();
        pressAndHold(button, mouse, [&] { return clock.tickCount() - start < kClickMs; });
        EXPECT_FALSE(display().stepping().held());
        return selectedTab();
    }

    std::vector<std::pair<int, std::int32_t>> changes; // tab, clock at the change
};

std::vector<int> tabsOf(const std::vector<std::pair<int, std::int32_t>>& changes) {
    std::vector<int> tabs;
    for (const auto& change : changes)
        tabs.push_back(change.first);
    return tabs;
}

} // namespace

TEST_F(ManualSteppingTest, AClickStepsOnceOverSkippedTabs) {
    sixImages(2);
    EXPECT_EQ(click(higher(), Qt::LeftButton), 4);
    EXPECT_EQ(click(lower(), Qt::LeftButton), 2);
    EXPECT_EQ(tabsOf(changes), (std::vector<int>{4, 2}));
}

TEST_F(ManualSteppingTest, LowerFromTheFirstImageStaysWithTheLeftButtonAndWrapsWithTheRight) {
    sixImages(1);
    EXPECT_EQ(click(lower(), Qt::LeftButton), 1);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(click(lower(), Qt::RightButton), 6);
}

TEST_F(ManualSteppingTest, HigherFromTheLastImageWrapsWithTheRightButton) {
    sixImages(6);
    EXPECT_EQ(click(higher(), Qt::RightButton), 1);
}

TEST_F(ManualSteppingTest, HigherFromTheLastImageWithTheLeftButtonChangesNothingUntilRelease) {
    sixImages(6);
    const std::int32_t start = clock.tickCount();
    // Well past the first pause: a step would have shown by then.
    pressAndHold(higher(), Qt::LeftButton, [&] {
        EXPECT_TRUE(display().stepping().held());
        return clock.tickCount() - start < 1500;
    });
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(selectedTab(), 6);
    EXPECT_FALSE(display().stepping().held());
    // The next click works as usual.
    EXPECT_EQ(click(lower(), Qt::LeftButton), 5);
}

TEST_F(ManualSteppingTest, HoldingHigherWithTheRightButtonCyclesAfterTheFirstPause) {
    sixImages(1, false);
    pressAndHold(higher(), Qt::RightButton, [&] { return changes.size() < 9; });
    ASSERT_GE(changes.size(), 9u);
    changes.resize(9);
    EXPECT_EQ(tabsOf(changes), (std::vector<int>{2, 3, 4, 5, 6, 1, 2, 3, 4}));
    EXPECT_GE(changes[1].second - changes[0].second, 750);
    for (std::size_t i = 2; i < changes.size(); ++i)
        EXPECT_LT(changes[i].second - changes[i - 1].second, 300) << i;
}

TEST_F(ManualSteppingTest, ReleasingTheOtherStepButtonEndsAHold) {
    sixImages(1, false);
    pressAndHold(higher(), Qt::LeftButton, [&] {
        if (changes.size() >= 3)
            QTest::mouseRelease(lower(), Qt::LeftButton);
        return true;
    });
    EXPECT_FALSE(display().stepping().held());
    EXPECT_GE(changes.size(), 3u);
    EXPECT_LE(changes.size(), 4u);
}

TEST_F(ManualSteppingTest, StartingTheLoopEndsASearchAtTheEndAndDisablesTheButtons) {
    sixImages(6);
    const std::int32_t start = clock.tickCount();
    bool started = false;
    // The hold is never released by the test: starting the loop must end it.
    pressAndHold(higher(), Qt::LeftButton, [&] {
        if (!started && clock.tickCount() - start > 300) {
            started = true;
            QTest::mouseClick(controls().Command18, Qt::LeftButton);
        }
        return true;
    });
    EXPECT_TRUE(started);
    EXPECT_TRUE(display().animation().running());
    EXPECT_FALSE(display().stepping().held());
    EXPECT_FALSE(higher()->isEnabled());
    EXPECT_FALSE(lower()->isEnabled());
    QTest::mouseClick(controls().Command18, Qt::LeftButton);
    EXPECT_TRUE(higher()->isEnabled());
}

TEST_F(ManualSteppingTest, ClosingTheWindowEndsASearchAtTheEnd) {
    sixImages(6);
    const std::int32_t start = clock.tickCount();
    bool closed = false;
    pressAndHold(higher(), Qt::LeftButton, [&] {
        if (!closed && clock.tickCount() - start > 300) {
            closed = true;
            form().close();
        }
        return true;
    });
    EXPECT_TRUE(closed);
    EXPECT_FALSE(display().stepping().held());
}

TEST_F(ManualSteppingTest, StepsFollowTheRingAfterImagesWereDeletedFromIt) {
    // Six images in a ring turned by two: tabs 1-4 show slots 3-6, tabs 19 and
    // 20 show slots 1 and 2, tabs 5-18 are empty.
    showWindow();
    fillSlots(6);
    loop().updateModel([](sets::SlotModel& m) {
        m.ringOffset = 2;
        m.wrapState = 2;
    });
    display().tabs().selectTab(4);
    EXPECT_EQ(click(higher(), Qt::RightButton), 19);
    EXPECT_EQ(click(higher(), Qt::LeftButton), 20);
    EXPECT_EQ(click(higher(), Qt::RightButton), 1);
    EXPECT_EQ(click(lower(), Qt::RightButton), 20);
}
