// Deleting the checked images and packing the rest down, and resetting the
// selected tab as the last image, as the user meets them in the window: the
// skip boxes, the questions, the files on disk and the saved current set.
#include "core/ole_date.h"
#include "display/tab_display.h"
#include "sets/set_commands.h"
#include "support/file_size_limit.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QTabBar>

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

struct Shown {
    int kind;
    QString text;
    int id;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& m) {
    return out << "{" << m.kind << ", " << m.id << ", " << m.text.toStdString() << "}";
}

class DeletePackTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        messages.setAnswerer([this](int kind, const QString& text, int id) {
            shown.push_back({kind, text, id});
            return kind == 4 ? answer : core::MsgOkay;
        });
        showWindow();
    }

    // Fills slots 1..count and keeps what each tab showed before the command.
    void fillAndRemember(int count) {
        fillSlots(count);
        remember();
    }
    void remember() {
        for (int tab = 1; tab <= sets::kSlotCount; ++tab) {
            const int slot = loop().slotForTab(tab);
            bytesBefore[tab] = readBytes(loop().slotFile(slot));
            pictureBefore[tab] = loop().picture(slot);
            stampBefore[tab] = controls().Picture8[slot]->pixmap().toImage();
            timeBefore[tab] = loop().model().slotTime[slot];
            if (loop().filled(slot)) {
                ASSERT_FALSE(blank(stampBefore[tab])) << "tab " << tab;
            }
        }
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
    void clickTab(int tab) {
        QTabBar* strip = controls().TabStrip1;
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab - 1).center());
        ASSERT_EQ(display().tabs().selectedTab(), tab);
    }
    void run(const char* item) { form().menuItem(QString::fromLatin1(item))->trigger(); }
    int selectedTab() { return display().tabs().selectedTab(); }
    // Tab t shows the image that was first on tab formerTabs[t - 1].
    void expectTabsShow(const std::vector<int>& formerTabs) {
        for (int tab = 1; tab <= static_cast<int>(formerTabs.size()); ++tab) {
            const int slot = loop().slotForTab(tab);
            const int former = formerTabs[tab - 1];
            EXPECT_TRUE(loop().filled(slot)) << "tab " << tab;
            EXPECT_EQ(readBytes(loop().slotFile(slot)), bytesBefore[former]) << "tab " << tab;
            EXPECT_EQ(loop().picture(slot), pictureBefore[former]) << "tab " << tab;
            EXPECT_EQ(controls().Picture8[slot]->pixmap().toImage(), stampBefore[former])
                << "tab " << tab;
            EXPECT_EQ(loop().model().slotTime[slot], timeBefore[former]) << "tab " << tab;
            EXPECT_TRUE(controls().Check4[tab]->isEnabled()) << "tab " << tab;
            EXPECT_FALSE(controls().Check4[tab]->isChecked()) << "tab " << tab;
        }
    }
    void expectTabsEmptyFrom(int firstTab) {
        for (int tab = firstTab; tab <= sets::kSlotCount; ++tab) {
            const int slot = loop().slotForTab(tab);
            EXPECT_FALSE(loop().filled(slot)) << "tab " << tab;
            EXPECT_EQ(loop().model().slotTime[slot], 0) << "tab " << tab;
            EXPECT_FALSE(controls().Check4[tab]->isEnabled()) << "tab " << tab;
            EXPECT_FALSE(controls().Check4[tab]->isChecked()) << "tab " << tab;
            EXPECT_TRUE(blank(controls().Picture8[slot]->pixmap().toImage())) << "tab " << tab;
        }
    }
    std::optional<sets::SetRecord> savedRecord() {
        return sets::readSetRecordFile(paths.setRecPath).record;
    }

    std::vector<Shown> shown;
    int answer = core::MsgYes;
    std::array<QByteArray, sets::kSlotArraySize> bytesBefore;
    std::array<QImage, sets::kSlotArraySize> pictureBefore;
    std::array<QImage, sets::kSlotArraySize> stampBefore;
    std::array<sets::OleDate, sets::kSlotArraySize> timeBefore{};
};

} // namespace

TEST_F(DeletePackTest, TabsThreeAndFiveOfSixLeaveTheFormerOneTwoFourAndSixOnTabsOneToFour) {
    fillAndRemember(6);
    clickSkipBox(3);
    clickSkipBox(5);
    run("mnuDelete");

    const std::vector<Shown> expected = {{4, kConfirmDelete, 6}, {2, kDeleteDone, 7}};
    EXPECT_EQ(shown, expected);
    expectTabsShow({1, 2, 4, 6});
    expectTabsEmptyFrom(5);
    EXPECT_FALSE(QFile::exists(loop().slotFile(5)));
    EXPECT_FALSE(QFile::exists(loop().slotFile(6)));
    EXPECT_EQ(loop().model().newestSlot, 4);
    EXPECT_EQ(selectedTab(), 4);
    EXPECT_EQ(controls().Label1->text(), QStringLiteral("4"));
    EXPECT_EQ(controls().Image1->picture(), pictureBefore[6]);

    const std::optional<sets::SetRecord> record = savedRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->newestSlot, 4);
    EXPECT_EQ(record->slotFilled, loop().model().slotFilled);
    EXPECT_EQ(record->slotTime, loop().model().slotTime);
}

TEST_F(DeletePackTest, ATurnedFullRingGetsGapsAndKeepsItsOffset) {
    fillSlots(20);
    loop().updateModel([](sets::SlotModel& m) {
        m.ringOffset = 7;
        m.newestSlot = 7;
        m.wrapState = sets::kRingFull;
    });
    remember();
    clickSkipBox(20);
    clickSkipBox(1);
    run("mnuDelete");
    std::vector<int> kept;
    for (int tab = 2; tab <= 19; ++tab)
        kept.push_back(tab);
    expectTabsShow(kept);
    expectTabsEmptyFrom(19);
    EXPECT_EQ(loop().model().wrapState, sets::kRingHasGaps);
    EXPECT_EQ(loop().model().ringOffset, 7);
    EXPECT_EQ(loop().model().newestSlot, 5);
    EXPECT_EQ(selectedTab(), 18);
}

TEST_F(DeletePackTest, DeletingEveryImageEmptiesTheSetAndSelectsTabOne) {
    fillAndRemember(3);
    loop().updateModel([](sets::SlotModel& m) { m.lastImageSize = 4096; });
    // The skip rule keeps two boxes clear under the mouse, so the last two
    // are checked directly.
    clickSkipBox(1);
    controls().Check4[2]->setChecked(true);
    controls().Check4[3]->setChecked(true);
    clickTab(3);
    run("mnuDelete");

    EXPECT_EQ(shown.back(), (Shown{2, kDeleteDone, 7}));
    EXPECT_EQ(loop().filledCount(), 0);
    expectTabsEmptyFrom(1);
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_FALSE(QFile::exists(loop().slotFile(slot))) << slot;
    const sets::SlotModel& m = loop().model();
    EXPECT_EQ(m.ringOffset, 0);
    EXPECT_EQ(m.wrapState, sets::kFillingFirstTime);
    EXPECT_EQ(m.newestSlot, 0);
    EXPECT_EQ(m.lastImageSize, -1);
    const sets::OleDate now = core::oleFromDateTime(clock.now()).value();
    EXPECT_NEAR(m.lastImageTime, core::oleAddMonths(now, -36).value(), 1.0 / 1440);
    EXPECT_EQ(selectedTab(), 1);
    EXPECT_TRUE(controls().Image1->picture().isNull());
}

TEST_F(DeletePackTest, TheQuestionAndTheCompletionCanEachBeSwitchedOff) {
    struct Case {
        const char* name;
        bool confirmOff;
        bool doneOff;
        int answer;
        std::vector<Shown> expected;
        bool deleted;
    };
    const Case cases[] = {
        {"both shown",
         false,
         false,
         core::MsgYes,
         {{4, kConfirmDelete, 6}, {2, kDeleteDone, 7}},
         true},
        {"answered No", false, false, core::MsgNo, {{4, kConfirmDelete, 6}}, false},
        {"question off", true, false, core::MsgNo, {{2, kDeleteDone, 7}}, true},
        {"completion off", false, true, core::MsgYes, {{4, kConfirmDelete, 6}}, true},
        {"both off", true, true, core::MsgNo, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.MsgOffMap[5] = c.confirmOff ? u'1' : u'0';
        settings.MsgOffMap[6] = c.doneOff ? u'1' : u'0';
        answer = c.answer;
        shown.clear();
        fillAndRemember(4);
        clickSkipBox(2);
        run("mnuDelete");
        EXPECT_EQ(shown, c.expected);
        EXPECT_EQ(loop().filledCount(), c.deleted ? 3 : 4);
        EXPECT_EQ(QFile::exists(loop().slotFile(4)), !c.deleted);
    }
}

TEST_F(DeletePackTest, NothingHappensWithoutImagesAndAskingForChecksWithoutAny) {
    run("mnuDelete");
    EXPECT_TRUE(shown.empty());
    fillAndRemember(3);
    run("mnuDelete");
    const std::vector<Shown> expected = {
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
    fillAndRemember(3);
    clickSkipBox(2);
    commands.mnuDelete_Click();
    commands.mnuReset_Click();
    const QString running = QStringLiteral("\r\n\r\nUse The -Shut-Down- Button To Halt \r\nThe "
                                           "Current Running Process, Temporarily, \r\nTo Avoid "
                                           "Errors.\r\nThen, ");
    const std::vector<Shown> expected = {{1, running + QStringLiteral("Delete Checked Images."), 0},
                                         {1, running + QStringLiteral("Reset The Last Image"), 0}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(loop().filledCount(), 3);
}

TEST_F(DeletePackTest, AFileRemovedBehindTheProgramsBackStopsThePackBeforeAnyChange) {
    fillAndRemember(6);
    ASSERT_TRUE(loop().save().written());
    const QByteArray recordBefore = readBytes(paths.setRecPath);
    clickSkipBox(3);
    clickSkipBox(5);
    ASSERT_TRUE(QFile::remove(loop().slotFile(6)));
    run("mnuDelete");

    EXPECT_EQ(shown.back(), (Shown{1, kDeleteFailed, 0}));
    // Every other image is where it was, its box still checked; the slot
    // whose file went no longer claims it.
    for (int slot : {1, 2, 3, 4, 5})
        EXPECT_EQ(readBytes(loop().slotFile(slot)), bytesBefore[slot]) << slot;
    EXPECT_FALSE(loop().filled(6));
    EXPECT_EQ(loop().filledCount(), 5);
    EXPECT_TRUE(controls().Check4[3]->isChecked());
    EXPECT_TRUE(controls().Check4[5]->isChecked());
    EXPECT_EQ(loop().model().newestSlot, 5);
    EXPECT_EQ(readBytes(paths.setRecPath), recordBefore);
}

TEST_F(DeletePackTest, AFullDiskThatKeepsTheRecordFromBeingWrittenIsNoCompletedPack) {
    fillAndRemember(6);
    ASSERT_TRUE(loop().save().written());
    const QByteArray recordBefore = readBytes(paths.setRecPath);
    clickSkipBox(3);
    clickSkipBox(5);
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

// ---- resetting the selected tab as the last image ----

TEST_F(DeletePackTest, ResetEmptiesTheTabsAboveTheSelectedOneAndKeepsTheirFiles) {
    fillAndRemember(6);
    loop().updateModel([](sets::SlotModel& m) { m.wrapState = sets::kRingHasGaps; });
    clickSkipBox(2);
    clickSkipBox(5);
    clickTab(4);
    run("mnuReset");

    const std::vector<Shown> expected = {{4, kConfirmReset, 12}};
    EXPECT_EQ(shown, expected);
    for (int tab = 1; tab <= 4; ++tab) {
        EXPECT_TRUE(loop().filled(tab));
        EXPECT_EQ(controls().Check4[tab]->isChecked(), tab == 2) << tab;
    }
    expectTabsEmptyFrom(5);
    for (int slot : {5, 6})
        EXPECT_EQ(readBytes(loop().slotFile(slot)), bytesBefore[slot]) << slot;
    const sets::SlotModel& m = loop().model();
    EXPECT_EQ(m.newestSlot, 4);
    EXPECT_EQ(m.wrapState, sets::kFillingFirstTime);
    EXPECT_EQ(selectedTab(), 4);
    EXPECT_EQ(controls().Image1->picture(), pictureBefore[4]);
    const std::optional<sets::SetRecord> record = savedRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->newestSlot, 4);
    EXPECT_EQ(record->slotFilled, m.slotFilled);
}

TEST_F(DeletePackTest, ResetChangesNoSlotOnTabTwentyOrAboveAGap) {
    struct Case {
        const char* name;
        int count;
        int emptied; // a slot emptied below the selection, 0 for none
        int tab;
        bool gapMessage;
    };
    const Case cases[] = {
        {"tab 20", 20, 0, 20, false},
        {"a gap below", 6, 2, 5, true},
        {"an empty selected tab", 3, 0, 5, true},
    };
    const QString gap = QStringLiteral("\r\n\r\nSelect The Last Image You Want To Keep.\r\n(There "
                                       "Should Be No Tabs Without Images\r\nBelow Your Selection)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        loop().clearAll();
        QFile::remove(paths.setRecPath);
        shown.clear();
        fillAndRemember(c.count);
        if (c.emptied != 0)
            loop().clearSlot(c.emptied);
        display().tabs().selectTab(c.tab);
        const sets::SlotModel before = loop().model();
        run("mnuReset");
        std::vector<Shown> expected = {{4, kConfirmReset, 12}};
        if (c.gapMessage)
            expected.push_back({1, gap, 0});
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(loop().model(), before);
        EXPECT_FALSE(QFile::exists(paths.setRecPath));
    }
}

TEST_F(DeletePackTest, ResetWithItsQuestionSwitchedOffRunsWithoutAsking) {
    settings.MsgOffMap[11] = u'1';
    fillAndRemember(5);
    clickTab(2);
    run("mnuReset");
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(loop().filledCount(), 2);
    answer = core::MsgNo;
    settings.MsgOffMap[11] = u'0';
    run("mnuReset");
    EXPECT_EQ(loop().filledCount(), 2);
    loop().clearAll();
    shown.clear();
    run("mnuReset");
    EXPECT_TRUE(shown.empty()) << "nothing is asked without images";
}
