// The shell as a user meets it: the first activation, the national map one
// second later, the deferred actions, the tooltips and the menu.
#include "window_fixture.h"

#include <QAction>
#include <QMenu>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

using ShellTest = MainWindowTest;

TEST_F(ShellTest, FirstActivationClearsTheSlotsSelectsTab1AndShowsTheMapASecondLater) {
    fillSlots(3);
    controls().TabStrip1->setCurrentIndex(2);
    showWindow();
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(display().controls().TabStrip1->currentIndex(), 0);
    EXPECT_EQ(form().DeferredAction(), core::deferred::ShowNationalMap);
    EXPECT_EQ(form().Timer6()->interval(), 1000);
    const QUrl map(settings.NationalMapUrl.trimmed());
    EXPECT_NE(mapPane()->current, map);
    QTRY_COMPARE_WITH_TIMEOUT(mapPane()->current, map, 3000);
    EXPECT_EQ(form().DeferredAction(), 0);
}

TEST_F(ShellTest, ASecondActivationNeitherClearsTheSlotsNorArmsTheMapAgain) {
    showWindow();
    form().Timer6_Timer();
    fillSlots(2);
    const int navigations = mapPane()->navigations.size();
    form().Form_Activate();
    EXPECT_EQ(loop().filledCount(), 2);
    EXPECT_EQ(form().DeferredAction(), 0);
    EXPECT_FALSE(form().Timer6()->isActive());
    EXPECT_EQ(mapPane()->navigations.size(), navigations);
}
