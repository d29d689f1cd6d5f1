// The shell as a user meets it: the first activation, the national map one
// second later, the tooltips and the close.
#include "core/app_identity.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

using ShellTest = MainWindowTest;

TEST_F(ShellTest, FirstActivationClearsTheSlotsSelectsTab1AndShowsTheMapASecondLater) {
    fillSlots(3);
    controls().TabStrip1->setCurrentIndex(2);
    showWindow();
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(controls().TabStrip1->currentIndex(), 0);
    EXPECT_EQ(form().DeferredAction(), core::deferred::ShowNationalMap);
    EXPECT_EQ(form().Timer6()->interval(), 1000);
    const QUrl map(settings.NationalMapUrl.trimmed());
    EXPECT_NE(mapPane()->current, map);
    QTRY_COMPARE_WITH_TIMEOUT(mapPane()->current, map, 3000);
    EXPECT_EQ(form().DeferredAction(), 0);

    // A second activation neither clears the slots nor arms the map again.
    fillSlots(2);
    const auto navigations = mapPane()->navigations.size();
    form().Form_Activate();
    EXPECT_EQ(loop().filledCount(), 2);
    EXPECT_EQ(form().DeferredAction(), 0);
    EXPECT_FALSE(form().Timer6()->isActive());
    EXPECT_EQ(mapPane()->navigations.size(), navigations);
}

TEST_F(ShellTest, EveryControlCarriesItsTooltipUnlessTooltipsAreSwitchedOff) {
    // A sample of the table: buttons (Command7's follows the process: none
    // runs), a text box, a status bar panel, the skip boxes.
    const std::pair<const char*, const char*> table[] = {
        {"Command7", "Restart The Previous, Shut-Down, Auto-Refresh Process"},
        {"Command18", "Start/Stop Loop"},
        {"Text4", "Auto-Refresh Interval (min.)"},
        {"StatusBar1Panel4", "Time (Dbl-Clk On/Off) (Right-Clk Local/UTC)"},
        {"Check4_1", "Check To Skip An Image When Looping"},
        {"Check4_20", "Check To Skip An Image When Looping"},
    };
    showWindow();
    for (const auto& [name, tip] : table) {
        const QWidget* control = child(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->toolTip(), QString::fromLatin1(tip)) << name;
    }
    // Only the first and the last skip box carry one.
    EXPECT_EQ(child("Check4_2")->toolTip(), QString());

    settings.NoToolTips = 1;
    form().F1ToolT();
    for (const auto& [name, tip] : table)
        EXPECT_EQ(child(name)->toolTip(), QString()) << name;
}

TEST_F(ShellTest, CloseSendsBothPanesToTheirLocalPagesHalfASecondApartThenSavesAndUnloads) {
    clock.setAdvancePerRead(25);
    showWindow();
    form().Timer6_Timer();
    QList<std::pair<QUrl, std::int32_t>> visits;
    for (auto* pane : panes)
        QObject::connect(pane, &platform::BrowserPane::beforeNavigate, pane,
                         [&visits, this](const QUrl& address, bool&) {
                             visits.append({address, clock.tickCount()});
                         });
    window->form3().show();
    window->form6().show();
    QFile::remove(paths.iniPath);
    form().close();

    ASSERT_EQ(visits.size(), 2);
    EXPECT_EQ(visits[0].first, paths.startBlank.url);
    EXPECT_EQ(visits[1].first, paths.appClose.url);
    EXPECT_GE(visits[1].second - visits[0].second, 500);
    const QRect corner = controls().Picture4->geometry();
    EXPECT_EQ(imagePane()->geometry().topLeft(), corner.topLeft());
    EXPECT_EQ(mapPane()->geometry().topLeft(), corner.topLeft());
    EXPECT_FALSE(window->panes().mapPaneAside());
    EXPECT_TRUE(QFile::exists(paths.iniPath));
    EXPECT_FALSE(window->form3().isVisible());
    EXPECT_FALSE(window->form6().isVisible());
    EXPECT_EQ(form().unloadOrder(), (QStringList{"Form3", "Form4", "Form6", "Form9"}));
}
