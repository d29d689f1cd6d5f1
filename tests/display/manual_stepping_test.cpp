// The step buttons beside the tabs with real mouse presses: clicks, holds,
// the left button stopping at the ends and the right one wrapping round.
#include "display/loop_animation.h"
#include "display/manual_stepping.h"
#include "display/tab_display.h"
#include "press_and_hold.h"
#include "window_fixture.h"

#include <QMouseEvent>
#include <QTest>
#include <tuple>
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
        QObject::connect(controls().TabStrip1, &QTabBar::currentChanged, &form(), [this] {
            tabs.push_back(selectedTab());
            times.push_back(clock.tickCount());
        });
    }

    // Images in tabs 1 to 6, tab 3 skipped unless told otherwise, tab shown.
    void sixImages(int shown, bool skipThird = true) {
        showWindow();
        fillSlots(6);
        if (skipThird) {
            controls().Check4[3]->click();
            ASSERT_TRUE(controls().Check4[3]->isChecked());
        }
        showTab(shown);
    }
    void showTab(int tab) {
        display().tabs().selectTab(tab);
        tabs.clear();
        times.clear();
    }

    int selectedTab() { return display().tabs().selectedTab(); }
    bool held() { return display().stepping().held(); }
    core::PressButton* lower() { return controls().Command60; }
    core::PressButton* higher() { return controls().Command61; }
    std::int32_t since(std::int32_t start) { return clock.tickCount() - start; }

    // A press released kClickMs later; returns the tab shown afterwards.
    int click(QWidget* button, Qt::MouseButton mouse) {
        const std::int32_t start = clock.tickCount();
        pressAndHold(button, mouse, [&] { return since(start) < kClickMs; });
        EXPECT_FALSE(held());
        return selectedTab();
    }

    std::vector<int> tabs;           // each tab shown, in order
    std::vector<std::int32_t> times; // the clock at each change
};

} // namespace

TEST_F(ManualSteppingTest, AClickStepsOnceOverSkippedTabsAndOnlyTheRightButtonWraps) {
    const std::tuple<int, QWidget*, Qt::MouseButton, int> cases[] = {
        {2, higher(), Qt::LeftButton, 4},  {4, lower(), Qt::LeftButton, 2},
        {1, lower(), Qt::LeftButton, 1},   {1, lower(), Qt::RightButton, 6},
        {6, higher(), Qt::RightButton, 1},
    };
    sixImages(1);
    for (const auto& [from, button, mouse, to] : cases) {
        SCOPED_TRACE(::testing::Message() << from << " " << button->objectName().toStdString());
        showTab(from);
        EXPECT_EQ(click(button, mouse), to);
        EXPECT_EQ(tabs.size(), from == to ? 0u : 1u);
    }
}

TEST_F(ManualSteppingTest, ATapWhoseReleaseComesWithItsPressStillStepsOnce) {
    sixImages(2);
    for (auto [button, to] : {std::pair{higher(), 4}, std::pair{lower(), 2}}) {
        // A touchpad tap: press and release queued together, seen in one pass.
        const QPoint at = button->rect().center();
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at,
                                                            button->mapToGlobal(at), Qt::LeftButton,
                                                            Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                            button->mapToGlobal(at), Qt::LeftButton,
                                                            Qt::NoButton, Qt::NoModifier));
        QTRY_VERIFY(!held() && selectedTab() == to);
    }
    EXPECT_EQ(tabs, (std::vector<int>{4, 2}));
}

TEST_F(ManualSteppingTest, KeysOnThePictureStepRunZoomAndShowEitherEndButNotInATextBox) {
    sixImages(2);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    const auto zoom = [this] { return controls().Text12->text(); };
    const QString unzoomed = zoom();
    // key, the tab shown afterwards (0: unchanged), the zoom changed
    const std::tuple<Qt::Key, int, bool> cases[] = {
        {Qt::Key_Right, 4, false}, {Qt::Key_Left, 2, false}, {Qt::Key_End, 6, false},
        {Qt::Key_Home, 1, false},  {Qt::Key_Plus, 0, true},  {Qt::Key_Minus, 0, false},
    };
    for (const auto& [key, tab, zoomed] : cases) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        const int before = selectedTab();
        QTest::keyClick(&form(), key);
        QTRY_COMPARE(selectedTab(), tab == 0 ? before : tab);
        QTRY_COMPARE(zoom() != unzoomed, zoomed);
        EXPECT_FALSE(held());
    }
    QTest::keyClick(&form(), Qt::Key_Space);
    QTRY_COMPARE(controls().Command18->text(), QStringLiteral("Stop"));
    QTest::keyClick(&form(), Qt::Key_Space);
    QTRY_COMPARE(controls().Command18->text(), QStringLiteral("Run"));

    const int shown = selectedTab();
    controls().Text4->setFocus();
    ASSERT_TRUE(controls().Text4->hasFocus());
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_Left, Qt::Key_Space})
        QTest::keyClick(controls().Text4, key);
    QCoreApplication::processEvents();
    EXPECT_EQ(selectedTab(), shown);
    EXPECT_EQ(controls().Command18->text(), QStringLiteral("Run"));
}
