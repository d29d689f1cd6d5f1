// Deleting the checked images and packing the rest down, and resetting the
// selected tab as the last image, as the user meets them in the window: the
// skip boxes, the questions, the files on disk and the saved current set.
#include "display/tab_display.h"
#include "sets/set_commands.h"
#include "support/file_size_limit.h"
#include "window_fixture.h"

#include <QAction>

using namespace nubivista;
using nubivista::testing::MainWindowTest;
using nubivista::testing::readBytes;

namespace {

const QString kConfirmDelete = QStringLiteral(
    "\r\n\r\nConfirm: \r\nDo You Want To Delete The Images Which\r\nHave Their Check-Boxes "
    "Checked?\r\n(And Pack-Down)\r\n");
const QString kDeleteDone = QStringLiteral("\r\n\r\nDelete And Pack Completed.");
const QString kDeleteFailed =
    QStringLiteral("\r\n\r\nAn Unknown Error Occurred, So,\r\nThe Delete Process Was Aborted.");
const QString kConfirmReset =
    QStringLiteral("\r\n\r\nDo You Want To Reset The Last Image\r\nTo Keep, Equal To The "
                   "Currently Selected Tab?\r\nAll Images Above It Will Be Cleared.");
const QString kGapBelow =
    QStringLiteral("\r\n\r\nSelect The Last Image You Want To Keep.\r\n(There Should Be No "
                   "Tabs Without Images\r\nBelow Your Selection)");

using Shown = nubivista::testing::ShownMessage;

// What a tab shows: its file, the loop's picture, its stamp box and its time.
struct TabContent {
    QByteArray bytes;
    QImage picture;
    QImage stamp;
    sets::OleDate time = 0;
    bool operator==(const TabContent&) const = default;
};

class DeletePackTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        showWindow();
    }

    // Fills slots 1..count and keeps what each tab showed before the command.
    void fill(int count) {
        fillSlots(count);
        for (int tab = 1; tab <= sets::kSlotCount; ++tab) {
            before[tab] = contentOf(tab);
            if (loop().filled(tab)) {
                ASSERT_FALSE(blank(before[tab].stamp)) << "tab " << tab;
            }
        }
    }
    TabContent contentOf(int tab) {
        const int slot = loop().slotForTab(tab);
        return {readBytes(loop().slotFile(slot)), loop().picture(slot),
                controls().Picture8[slot]->pixmap().toImage(), loop().model().slotTime[slot]};
    }
    // A stamp box that shows no strip of an image.
    static bool blank(const QImage& box) {
        for (int y = 0; y < box.height(); ++y)
            for (int x = 0; x < box.width(); ++x)
                if (box.pixel(x, y) != box.pixel(0, 0))
                    return false;
        return true;
    }
    void clickSkipBox(int tab) {
        display::OptionBox* box = controls().Check4[tab];
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        ASSERT_TRUE(box->isChecked()) << "tab " << tab;
    }
    void run(const char* item) { form().menuItem(QString::fromLatin1(item))->trigger(); }
    int selectedTab() { return display().tabs().selectedTab(); }
    // Tab t shows the image that was first on tab formerTabs[t - 1], its box
    // enabled and clear.
    void expectTabsShow(const std::vector<int>& formerTabs) {
        for (int tab = 1; tab <= static_cast<int>(formerTabs.size()); ++tab) {
            EXPECT_TRUE(loop().filled(loop().slotForTab(tab))) << "tab " << tab;
            EXPECT_TRUE(contentOf(tab) == before[formerTabs[tab - 1]]) << "tab " << tab;
            EXPECT_TRUE(boxIs(tab, true, false)) << "tab " << tab;
        }
    }
    bool boxIs(int tab, bool enabled, bool checked) {
        return controls().Check4[tab]->isEnabled() == enabled &&
               controls().Check4[tab]->isChecked() == checked;
    }
    void expectTabsEmptyFrom(int firstTab) {
        for (int tab = firstTab; tab <= sets::kSlotCount; ++tab) {
            const int slot = loop().slotForTab(tab);
            EXPECT_TRUE(!loop().filled(slot) && loop().model().slotTime[slot] == 0) << tab;
            EXPECT_TRUE(boxIs(tab, false, false)) << "tab " << tab;
            EXPECT_TRUE(blank(controls().Picture8[slot]->pixmap().toImage())) << "tab " << tab;
        }
    }
    // The saved current set matches the loop's slots.
    void expectRecordSaved() {
        const std::optional<sets::SetRecord> record =
            sets::readSetRecordFile(paths.setRecPath).record;
        ASSERT_TRUE(record);
        EXPECT_EQ(record->newestSlot, loop().model().newestSlot);
        EXPECT_EQ(record->slotFilled, loop().model().slotFilled);
        EXPECT_EQ(record->slotTime, loop().model().slotTime);
    }
    // Fills six slots, saves the set, checks tabs 3 and 5 and returns the
    // record's bytes as saved.
    QByteArray sixSavedWithThreeAndFiveChecked() {
        fill(6);
        EXPECT_TRUE(loop().save().written());
        clickSkipBox(3);
        clickSkipBox(5);
        return readBytes(paths.setRecPath);
    }

    std::array<TabContent, sets::kSlotArraySize> before;
};

} // namespace

TEST_F(DeletePackTest, TabsThreeAndFiveOfSixLeaveTheFormerOneTwoFourAndSixOnTabsOneToFour) {
    fill(6);
    clickSkipBox(3);
    clickSkipBox(5);
    run("mnuDelete");

    const QList<Shown> expected = {{4, kConfirmDelete, 6}, {2, kDeleteDone, 7}};
    EXPECT_EQ(shown, expected);
    expectTabsShow({1, 2, 4, 6});
    expectTabsEmptyFrom(5);
    EXPECT_FALSE(QFile::exists(loop().slotFile(5)));
    EXPECT_FALSE(QFile::exists(loop().slotFile(6)));
    EXPECT_EQ(loop().model().newestSlot, 4);
    EXPECT_EQ(selectedTab(), 4);
    EXPECT_EQ(controls().Image1->picture(), before[6].picture);
    expectRecordSaved();
}

TEST_F(DeletePackTest, TheQuestionsCanBeSwitchedOffOrAnsweredNoAndResetRefusesBadTabs) {
    const QList<Shown> refusedGap = {{4, kConfirmReset, 12}, {1, kGapBelow, 0}};
    struct Case {
        const char* name;
        const char* item;
        int offIndex; // the MsgOffMap entry switched off, -1 for none
        bool decline;
        int count;   // slots filled; tab 2 checked
        int emptied; // a slot emptied again, 0 for none
        int selected;
        QList<Shown> expected;
        int filledAfter; // as many as before: nothing may change
    };
    const Case cases[] = {
        {"delete answered No", "mnuDelete", -1, true, 4, 0, 2, {{4, kConfirmDelete, 6}}, 4},
        {"delete question off", "mnuDelete", 5, true, 4, 0, 2, {{2, kDeleteDone, 7}}, 3},
        {"completion off", "mnuDelete", 6, false, 4, 0, 2, {{4, kConfirmDelete, 6}}, 3},
        {"reset answered No", "mnuReset", -1, true, 4, 0, 2, {{4, kConfirmReset, 12}}, 4},
        {"reset question off", "mnuReset", 11, true, 4, 0, 2, {}, 2},
        {"reset on tab 20", "mnuReset", -1, false, 20, 0, 20, {{4, kConfirmReset, 12}}, 20},
        {"reset above a gap", "mnuReset", -1, false, 6, 2, 5, refusedGap, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const int index : {5, 6, 11})
            settings.MsgOffMap[index] = index == c.offIndex ? u'1' : u'0';
        decline = c.decline;
        loop().clearAll();
        QFile::remove(paths.setRecPath);
        fill(c.count);
        controls().Check4[2]->setChecked(true);
        if (c.emptied != 0)
            loop().clearSlot(c.emptied);
        display().tabs().selectTab(c.selected);
        const sets::SlotModel modelBefore = loop().model();
        shown.clear();
        run(c.item);
        EXPECT_EQ(shown, c.expected);
        EXPECT_EQ(loop().filledCount(), c.filledAfter);
        if (c.filledAfter == sets::filledCount(modelBefore)) {
            EXPECT_EQ(loop().model(), modelBefore);
            EXPECT_FALSE(QFile::exists(paths.setRecPath));
        } else {
            expectRecordSaved();
        }
    }
}

TEST_F(DeletePackTest, WithoutImagesNothingIsAskedAndWithoutChecksTheUserIsTold) {
    run("mnuDelete");
    run("mnuReset");
    EXPECT_TRUE(shown.empty());
    fill(3);
    run("mnuDelete");
    const QList<Shown> expected = {
        {1,
         QStringLiteral("\r\n\r\nCheck The CheckBoxes Of The Images That\r\nYou Want To Delete, "
                        "Before You Click The Delete Button."),
         0}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(loop().filledCount(), 3);
}

TEST_F(DeletePackTest, ARunningProcessRefusesBothCommands) {
    // The window's own commands never see a process; these do. They are
    // called directly and go before the window.
    sets::SetCommandPeers peers;
    peers.refreshState = [] { return 1; };
    sets::SetCommands commands(form(), loop(), {}, peers);
    fill(3);
    clickSkipBox(2);
    commands.mnuDelete_Click();
    commands.mnuReset_Click();
    const QString running = QStringLiteral("\r\n\r\nUse The -Shut-Down- Button To Halt \r\nThe "
                                           "Current Running Process, Temporarily, \r\nTo Avoid "
                                           "Errors.\r\nThen, ");
    const QList<Shown> expected = {{1, running + QStringLiteral("Delete Checked Images."), 0},
                                   {1, running + QStringLiteral("Reset The Last Image"), 0}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(loop().filledCount(), 3);
}

TEST_F(DeletePackTest, AFullDiskThatKeepsTheRecordFromBeingWrittenIsNoCompletedPack) {
    const QByteArray recordBefore = sixSavedWithThreeAndFiveChecked();
    {
        const nubivista::testing::FileSizeLimit full(0);
        run("mnuDelete");
    }
    EXPECT_EQ(shown.back(), (Shown{1, kDeleteFailed, 0}));
    // The renames needed no room: the files and the slots agree.
    expectTabsShow({1, 2, 4, 6});
    expectTabsEmptyFrom(5);
    EXPECT_EQ(readBytes(paths.setRecPath), recordBefore);
}
