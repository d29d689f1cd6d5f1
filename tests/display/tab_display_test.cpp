// The skip rule that keeps two images in the loop, through the skip boxes,
// the tooltips on the window's controls with the switch that takes them off,
// and the product box that follows an opened set.
#include "display/tab_display.h"
#include "display/window_layout.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QStatusBar>
#include <QTabBar>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

namespace {

class TabDisplayTest : public MainWindowTest {
protected:
    // Clicks tab's skip box and says whether it is checked afterwards.
    bool clickSkipBox(int tab) {
        display::OptionBox* box = controls().Check4[tab];
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        return box->isChecked();
    }
};

} // namespace

TEST_F(TabDisplayTest, ThePanelsSkipBoxesSitOnTheirTabsItsStatusBarComesBackAndItsFaceIsCondensed) {
    for (const int width : {900, 1300}) {
        showWindow({width, 700});
        QTabBar* tabs = controls().TabStrip1;
        for (int tab = 1; tab <= 20; ++tab) {
            const QWidget* box = controls().Check4[tab];
            const QRect onForm(tabs->mapTo(&form(), tabs->tabRect(tab - 1).topLeft()),
                               tabs->tabRect(tab - 1).size());
            const QPoint centre = box->mapTo(&form(), box->rect().center());
            EXPECT_TRUE(centre.x() >= onForm.left() && centre.x() <= onForm.right())
                << "box " << tab << " at " << width << " px";
        }
    }
    // The panel hidden and shown again brings back the status bar unless the user hid it.
    for (const int hidden : {0, 1}) {
        settings.HideStatusBar = static_cast<std::int16_t>(hidden);
        showWindow();
        display().layout().Command13_MouseDown(Qt::LeftButton);
        EXPECT_FALSE(form().StatusBar1()->isVisible());
        display().layout().Command13_MouseDown(Qt::LeftButton);
        EXPECT_EQ(form().StatusBar1()->isVisible(), hidden == 0);
    }
    const QString condensed = QStringLiteral("DejaVu Sans Condensed");
    EXPECT_EQ(controls().Picture1->font().family() == condensed,
              QFontDatabase::hasFamily(condensed));
}

TEST_F(TabDisplayTest, TheLoopKeepsAtLeastTwoImagesUnskipped) {
    showWindow();
    // No image: the boxes of empty slots cannot even be checked.
    for (int tab : {1, 20}) {
        EXPECT_FALSE(controls().Check4[tab]->isEnabled());
        display().tabs().Check4_Click(tab);
        EXPECT_FALSE(controls().Check4[tab]->isChecked());
    }

    fillSlots(2);
    EXPECT_TRUE(controls().Check4[2]->isEnabled());
    EXPECT_FALSE(controls().Check4[3]->isEnabled());
    EXPECT_FALSE(clickSkipBox(1));
    EXPECT_FALSE(clickSkipBox(2));

    fillSlots(3);
    EXPECT_TRUE(clickSkipBox(2));
    EXPECT_FALSE(clickSkipBox(3)) << "a second skip would leave one image";
    EXPECT_FALSE(clickSkipBox(2)) << "unchecking always stands";
    // A new image in a slot starts with its skip box clear.
    ASSERT_TRUE(clickSkipBox(3));
    fillSlots(3);
    EXPECT_FALSE(controls().Check4[3]->isChecked());
}

TEST_F(TabDisplayTest, EveryControlCarriesItsTooltipUnlessTooltipsAreSwitchedOff) {
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

TEST_F(TabDisplayTest, ChoosingAProductWithoutLongRangeClearsLongRangeAndOthersKeepIt) {
    settings.ProductIndex = 9; // kept by a later version with more products
    showWindow();
    EXPECT_EQ(controls().Combo1->currentIndex(), 0);
    EXPECT_EQ(settings.ProductIndex, 0);
    QComboBox* products = controls().Combo1;
    controls().Check2->click();
    ASSERT_EQ(settings.LongRangeChecked, 1);
    for (const int index : {1, 0, 2}) {
        products->setCurrentIndex(index);
        emit products->activated(index);
        const bool kept = index != 2;
        EXPECT_EQ(controls().Check2->isChecked(), kept) << index;
        EXPECT_EQ(settings.LongRangeChecked, kept ? 1 : 0) << index;
    }
}

// An opened set's product shows in the product box and Long Range, stored as
// the user's own choice; a reload does the same.
TEST_F(TabDisplayTest, TheProductBoxFollowsTheSetThatIsOpened) {
    struct Case {
        const char* code;
        int index;
        bool longRange;
    };
    showWindow();
    for (const Case c : {Case{"DS.p37cr", 1, false}, Case{"DS.p38cr", 1, true},
                         Case{"DS.p20-r", 0, true}, Case{"DS.80stp", 3, false}}) {
        SCOPED_TRACE(c.code);
        controls().Combo1->setCurrentIndex(c.index == 0 ? 2 : 0);
        controls().Check2->setChecked(!c.longRange);
        sets::SlotModel model;
        model.slotFilled[1] = model.slotFilled[2] = 1;
        model.newestSlot = 2;
        model.paneUrl = QStringLiteral("http://weather.noaa.gov/radar/images/%1/SI.klsx/latest.gif")
                            .arg(QLatin1String(c.code));
        model.siteCode = QStringLiteral("klsx");
        const QString folder = paths.savedSetsDir + QStringLiteral("/set");
        for (int slot : {1, 2})
            ASSERT_TRUE(nubivista::testing::writeBytes(
                folder + QStringLiteral("/latest%1.gif").arg(slot),
                nubivista::testing::readBytes(nubivista::testing::samplePicture(slot))));
        setFile = folder + QStringLiteral("/set.sis");
        ASSERT_TRUE(nubivista::testing::writeBytes(
            setFile, sets::encodeSetRecord(sets::setRecordFromModel(model, 6))));

        form().menuItem(QStringLiteral("mnuOpenSet"))->trigger();
        form().Timer6_Timer();
        ASSERT_EQ(loop().filledCount(), 2);
        EXPECT_EQ(controls().Combo1->currentIndex(), c.index);
        EXPECT_EQ(controls().Check2->isChecked(), c.longRange);
        EXPECT_EQ(settings.ProductIndex, c.index);
        EXPECT_EQ(settings.LongRangeChecked, c.longRange ? 1 : 0);

        controls().Combo1->setCurrentIndex(2);
        form().menuItem(QStringLiteral("mnuReOpenCurrSet"))->trigger();
        form().Timer6_Timer();
        EXPECT_EQ(controls().Combo1->currentIndex(), c.index) << "after a reload";
    }
}
