// The tooltips on the window's controls, and the switch that takes them off.
#include "window_fixture.h"

using namespace nubivista;
using nubivista::testing::MainWindowTest;

using ShellTest = MainWindowTest;

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
