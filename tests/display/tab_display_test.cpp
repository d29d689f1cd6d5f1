// The skip rule that keeps two images in the loop, through the skip boxes.
#include "display/tab_display.h"
#include "display/zoom_scroll.h"
#include "window_fixture.h"

#include <QComboBox>

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
