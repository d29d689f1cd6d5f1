// The set commands of the menu in the assembled window: reloading the last
// current set, opening, saving and deleting saved sets, with their messages,
// the deferred step, and what a refused set leaves on disk.
#include "display/tab_display.h"
#include "display/time_text.h"
#include "support/file_size_limit.h"
#include "window_fixture.h"

#include <QAction>
#include <map>

using namespace nubivista;
using nubivista::testing::MainWindowTest;
using nubivista::testing::readBytes;
using nubivista::testing::sampleSetDir;
using nubivista::testing::writeBytes;

namespace {

const QString kImageUrl =
    QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmlb/latest.gif");
const QString kLoadingHeader =
    QStringLiteral("\r\n\r\n\r\nAn Error Occurred Loading Saved Image Set\r\n");
const QString kAllSets = QStringLiteral("Saved Image Sets (*.sis *.Sis *.SIS)");

QString sample(int n) {
    return sampleSetDir() + QStringLiteral("/latest%1.gif").arg(1 + (n - 1) % 11);
}

QByteArray recordOf(const sets::SlotModel& model, int minutes) {
    return sets::encodeSetRecord(sets::setRecordFromModel(model, minutes));
}

std::map<QString, QByteArray> folderContents(const QString& folder) {
    std::map<QString, QByteArray> contents;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
        contents[file.fileName()] = readBytes(file.filePath());
    return contents;
}

// A full set of site kmlb whose ring has turned: RingOffset 5, NewestSlot 3.
sets::SlotModel turnedRing(const QString& paneUrl = kImageUrl) {
    sets::SlotModel model;
    for (int slot = 1; slot <= sets::kSlotCount; ++slot) {
        model.slotFilled[slot] = 1;
        model.slotTime[slot] = 46362.5 + slot / 1440.0;
    }
    model.ringOffset = 5;
    model.newestSlot = 3;
    model.wrapState = sets::kRingFull;
    model.lastImageTime = 46362.4;
    model.lastImageSize = 10600;
    model.paneUrl = paneUrl;
    model.siteCode = QStringLiteral("kmlb");
    return model;
}

class SetCommandsTest : public MainWindowTest {
protected:
    void choose(const QString& path) {
        chooser = [path](sets::SetDialog, const QString&, const QString&) {
            return std::optional<sets::ChosenFile>({path, QFileInfo(path).fileName()});
        };
    }

    void click(const char* item) { form().menuItem(QString::fromLatin1(item))->trigger(); }

    void copySampleSetToLoop() {
        for (const QString& name : QDir(sampleSetDir()).entryList(QDir::Files)) {
            QFile::remove(paths.loopImagesDir + u'/' + name);
            ASSERT_TRUE(
                QFile::copy(sampleSetDir() + u'/' + name, paths.loopImagesDir + u'/' + name));
        }
    }

    // A saved set folder name/name.sis holding record and sample images in
    // its twenty slots; returns the record path.
    QString writeSet(const QString& name, const QByteArray& record = recordOf(turnedRing(), 9)) {
        const QString folder = paths.savedSetsDir + u'/' + name;
        for (int slot = 1; slot <= sets::kSlotCount; ++slot)
            EXPECT_TRUE(writeBytes(folder + QStringLiteral("/latest%1.gif").arg(slot),
                                   readBytes(sample(slot + 3))));
        EXPECT_TRUE(writeBytes(folder + u'/' + name + QStringLiteral(".sis"), record));
        return folder + u'/' + name + QStringLiteral(".sis");
    }

    // Opens the record at path as the user does, through the deferred step.
    void openSet(const QString& path) {
        choose(path);
        click("mnuOpenSet");
        ASSERT_EQ(form().DeferredAction(), core::deferred::OpenSavedSet);
        form().Timer6_Timer();
    }

    void saveAs(const QString& path) {
        choose(path);
        click("mnuSaveSet");
    }

    void expectOnlyMessage(int kind, int id, const QString& text) {
        EXPECT_EQ(shown, (QList<nubivista::testing::ShownMessage>{{kind, text, id}}));
    }
    void expectOnlyDialog(sets::SetDialog dialog, const QString& filter) {
        ASSERT_EQ(dialogs.size(), 1);
        EXPECT_EQ(dialogs[0].dialog, dialog);
        EXPECT_EQ(dialogs[0].folder, paths.savedSetsDir);
        EXPECT_EQ(dialogs[0].filter, filter);
    }
    // Tabs 1..enabledUpTo can be skipped, none is.
    void expectSkipBoxes(int enabledUpTo) {
        for (int tab = 1; tab <= 20; ++tab) {
            EXPECT_EQ(controls().Check4[tab]->isEnabled(), tab <= enabledUpTo) << tab;
            EXPECT_FALSE(controls().Check4[tab]->isChecked()) << tab;
        }
    }

    QImage box(int slot) {
        return controls().Picture8[slot]->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QImage paintedBox(const QString& file) {
        const QImage picture = file.isEmpty() ? QImage() : QImage(file);
        return display::stampBoxImage(picture).convertToFormat(QImage::Format_RGB32);
    }
    int selectedTab() { return display().tabs().selectedTab(); }
    QString lastText() { return shown.isEmpty() ? QString() : shown.constLast().text; }
};

} // namespace

TEST_F(SetCommandsTest, ReloadBringsBackTheShippedSampleLoopHalfASecondLater) {
    copySampleSetToLoop();
    const QByteArray record = readBytes(paths.setRecPath);
    showWindow();
    click("mnuReOpenCurrSet");
    expectOnlyMessage(4, 10,
                      QStringLiteral("\r\n\r\nConfirm:\r\nDo You Want To Reload\r\n"
                                     "The Last Current Set Of Images."));
    EXPECT_EQ(form().DeferredAction(), core::deferred::ReloadCurrentSet);
    EXPECT_EQ(form().Timer6()->interval(), 500);

    QTRY_COMPARE_WITH_TIMEOUT(form().DeferredAction(), 0, 3000);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(loop().filledCount(), 11);
    EXPECT_EQ(selectedTab(), 11);
    EXPECT_EQ(form().windowTitle(),
              QStringLiteral("KMKX - Milwaukee, WI - Nubivista - (reloaded last current set)"));
    EXPECT_EQ(loop().model().siteImageUrl,
              QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif"));
    expectSkipBoxes(11);
    for (int slot = 1; slot <= 11; ++slot)
        EXPECT_EQ(box(slot), paintedBox(loop().slotFile(slot))) << slot;
    EXPECT_FALSE(loop().picture(11).isNull());
    EXPECT_TRUE(window->panes().mapPaneAside());
    EXPECT_EQ(readBytes(paths.setRecPath), record);
}

TEST_F(SetCommandsTest, ADeclinedReloadStillShutsDownButKeepsTheSlots) {
    showWindow();
    fillSlots(3);
    decline = true;
    click("mnuReOpenCurrSet");
    EXPECT_EQ(controls().Command7->text(), QStringLiteral("Restart"));
    EXPECT_EQ(loop().filledCount(), 3);
    EXPECT_NE(form().DeferredAction(), core::deferred::ReloadCurrentSet);

    // Switched off, the question counts as a Yes.
    settings.MsgOffMap[9] = u'1';
    shown.clear();
    controls().Check4[2]->setChecked(true);
    click("mnuReOpenCurrSet");
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(form().DeferredAction(), core::deferred::ReloadCurrentSet);
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(selectedTab(), 1);
    expectSkipBoxes(0);
    EXPECT_EQ(box(2), paintedBox(QString()));
}

TEST_F(SetCommandsTest, AReloadKeepsHiddenBoxesBlankAndRefusesARemovedImage) {
    copySampleSetToLoop();
    const QByteArray record = readBytes(paths.setRecPath);
    settings.HideStampBox = 1;
    showWindow();
    click("mnuReOpenCurrSet");
    form().Timer6_Timer();
    ASSERT_EQ(loop().filledCount(), 11);
    for (int slot = 1; slot <= 11; ++slot)
        EXPECT_EQ(box(slot), paintedBox(QString())) << slot;

    ASSERT_TRUE(QFile::remove(loop().slotFile(4)));
    click("mnuReOpenCurrSet");
    form().Timer6_Timer();
    EXPECT_EQ(lastText(), QStringLiteral("\r\n\r\n\r\nAn Error Occurred Reoading The Image Set\r\n"
                                         "File Does Not Exist...\r\n") +
                              loop().slotFile(4));
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(readBytes(paths.setRecPath), record);
}

TEST_F(SetCommandsTest, OpenSaveAndDeleteShowTheirDialogOnlyAfterTheirAdvice) {
    const QString path = writeSet(QStringLiteral("Storm"));
    showWindow();
    const struct {
        const char* item;
        int id;
        QString advice;
        sets::SetDialog dialog;
        QString filter;
    } table[] = {
        {"mnuOpenSet", 9,
         QStringLiteral("\r\n\r\nSelect The Directory Name For The \r\nSet You Want To Open. \r\n"
                        "Then Choose The .sis File In That Directory."),
         sets::SetDialog::Open, kAllSets},
        {"mnuSaveSet", 13,
         QStringLiteral("\r\n\r\nAfter You Close This Message Window\r\n"
                        "And The Save-File Dialog Window Appears,\r\n"
                        "Enter A Name For The Set You Want To Save."),
         sets::SetDialog::Save, QStringLiteral("Saved Image Sets (*.sis)")},
        {"mnuDeleteSet", 8,
         QStringLiteral("\r\n\r\nRight-Click The Directory Name Of The Set You Want To Delete"
                        "\r\nAnd Then On The Pop-Up Menu, Click Delete.\r\n"
                        "Then, Just Close The Dialog Window."),
         sets::SetDialog::Delete, kAllSets},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.item);
        fillSlots(3);
        shown.clear();
        dialogs.clear();
        decline = true;
        click(row.item);
        expectOnlyMessage(8, row.id, row.advice);
        EXPECT_TRUE(dialogs.isEmpty());
        decline = false;
        click(row.item); // the dialog is cancelled
        expectOnlyDialog(row.dialog, row.filter);
    }
    // Deleting is left to the dialog: the chosen set stays and nothing is opened.
    choose(path);
    click("mnuDeleteSet");
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_NE(form().DeferredAction(), core::deferred::OpenSavedSet);
}

TEST_F(SetCommandsTest, OpenSelectsTheTabOfTheNewestSlotAndMakesTheSetCurrent) {
    const QString path = writeSet(QStringLiteral("Storm"));
    showWindow();
    fillSlots(2);
    controls().Check4[1]->setChecked(true);
    choose(path);
    click("mnuOpenSet");
    EXPECT_EQ(form().DeferredAction(), core::deferred::OpenSavedSet);
    EXPECT_EQ(loop().filledCount(), 0);

    form().Timer6_Timer();
    EXPECT_EQ(shown.size(), 1);
    // RingOffset 5 with NewestSlot 3: the newest image is on tab 18.
    EXPECT_EQ(selectedTab(), 18);
    EXPECT_EQ(controls().Label1->text(), QStringLiteral("3"));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Storm - KMLB - Melbourne, FL - Nubivista"));
    EXPECT_EQ(settings.RefreshIntervalMinutes, 9);
    EXPECT_EQ(controls().Text4->text(), QStringLiteral("9"));
    expectSkipBoxes(20);
    const QString folder = QFileInfo(path).absolutePath();
    for (int slot = 1; slot <= 20; ++slot) {
        EXPECT_EQ(readBytes(loop().slotFile(slot)),
                  readBytes(folder + QStringLiteral("/latest%1.gif").arg(slot)))
            << slot;
        EXPECT_EQ(box(slot), paintedBox(loop().slotFile(slot))) << slot;
    }
    EXPECT_EQ(readBytes(paths.setRecPath), readBytes(path));
    EXPECT_TRUE(window->panes().mapPaneAside());
}

TEST_F(SetCommandsTest, AChosenFileMustExistAndEndInSis) {
    const QString upper = writeSet(QStringLiteral("Upper"));
    const QString renamed = paths.savedSetsDir + QStringLiteral("/Upper/Upper.SIS");
    ASSERT_TRUE(QFile::rename(upper, renamed));
    const QString text = paths.savedSetsDir + QStringLiteral("/notes.txt");
    ASSERT_TRUE(writeBytes(text, "x"));
    const QString missing = paths.savedSetsDir + QStringLiteral("/gone.sis");
    showWindow();
    fillSlots(2);
    const std::pair<QString, QString> refused[] = {
        {missing, QStringLiteral("File Does Not Exist...\r\n") + missing},
        {text, QStringLiteral("Filename extention should Be .sis")},
    };
    for (const auto& [path, detail] : refused) {
        choose(path);
        click("mnuOpenSet");
        EXPECT_EQ(lastText(), kLoadingHeader + detail);
        EXPECT_EQ(loop().filledCount(), 2);
        EXPECT_NE(form().DeferredAction(), core::deferred::OpenSavedSet);
    }
    openSet(renamed);
    EXPECT_EQ(loop().filledCount(), 20);
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Upper - KMLB - Melbourne, FL - Nubivista"));
}

TEST_F(SetCommandsTest, ARefusedSetChangesNothingOnDiskAndLeavesTheDisplayCleared) {
    copySampleSetToLoop();
    const auto loopBefore = folderContents(paths.loopImagesDir);
    const QByteArray good = recordOf(turnedRing(), 9);
    const auto withUrl = [](const QString& url) { return recordOf(turnedRing(url), 9); };
    const QString contaminated =
        kLoadingHeader + QStringLiteral(".sis Record File Was Contaminated.");
    const QString missingImage = paths.savedSetsDir + QStringLiteral("/Missing/latest7.gif");
    const struct {
        QString name;
        QByteArray record;
        QString message;
    } table[] = {
        {QStringLiteral("Short"), good.left(493), contaminated},
        {QStringLiteral("Long"), good + "x", contaminated},
        {QStringLiteral("Foreign"),
         withUrl(QStringLiteral("http://example.com/radar/images/DS.p19r0/SI.kmlb/latest.gif")),
         kLoadingHeader + QStringLiteral("URL Not NWS Radar Image Page")},
        {QStringLiteral("Unknown"),
         withUrl(
             QStringLiteral("http://weather.noaa.gov/radar/images/XX.p99r0/SI.kmlb/latest.gif")),
         QStringLiteral("\r\n\r\nThe Current Web Page URL Is Not A  \r\n"
                        "National Weather Service Radar Page.\r\n"
                        "Auto-Refresh Process Is Not Posible.")},
        {QStringLiteral("Missing"), good,
         kLoadingHeader + QStringLiteral("File Does Not Exist...\r\n") + missingImage},
    };
    showWindow();
    for (const auto& row : table) {
        SCOPED_TRACE(row.name.toStdString());
        const QString path = writeSet(row.name, row.record);
        if (row.name == QStringLiteral("Missing")) {
            ASSERT_TRUE(QFile::remove(missingImage));
        }
        fillSlots(2);
        form().setWindowTitle(QStringLiteral("before"));
        shown.clear();
        openSet(path);
        ASSERT_EQ(shown.size(), 2);
        EXPECT_EQ(shown[1].kind, 1);
        EXPECT_EQ(shown[1].text, row.message);
        EXPECT_EQ(loop().filledCount(), 0);
        EXPECT_EQ(form().windowTitle(), QStringLiteral("before"));
        EXPECT_EQ(folderContents(paths.loopImagesDir), loopBefore);
        EXPECT_EQ(settings.RefreshIntervalMinutes, 6);
    }
}

TEST_F(SetCommandsTest, SavingNeedsFilledSlotsAndNoRunningProcess) {
    showWindow();
    saveAs(paths.savedSetsDir + QStringLiteral("/Storm.sis"));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(dialogs.isEmpty());

    fillSlots(3);
    sets::SetCommandPeers running;
    running.refreshState = [] { return 1; };
    sets::SetCommands commands(form(), loop(), chooser, running);
    commands.mnuSaveSet_Click();
    expectOnlyMessage(1, 0,
                      QStringLiteral("\r\n\r\nUse The -Shut-Down- Button To Halt \r\n"
                                     "The Current Running Process, Temporarily, \r\n"
                                     "To Avoid Errors.\r\nThen, Save The Set."));
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_TRUE(QDir(paths.savedSetsDir).isEmpty());
}

TEST_F(SetCommandsTest, SavingWritesTheSetFolderAsTypedOrSaysWhatFailed) {
    showWindow();
    fillSlots(3);
    settings.MsgOffMap[12] = u'1'; // the advice switched off
    saveAs(paths.savedSetsDir + QStringLiteral("/Storm.SIS"));
    EXPECT_TRUE(shown.isEmpty());
    const auto saved = folderContents(paths.savedSetsDir + QStringLiteral("/Storm.SIS"));
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved.at(QStringLiteral("Storm.SIS")), recordOf(loop().model(), 6));
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_EQ(saved.at(QStringLiteral("latest%1.gif").arg(slot)), readBytes(sample(slot)));

    saveAs(paths.savedSetsDir + QStringLiteral("/Storm.gif"));
    EXPECT_EQ(lastText(), kLoadingHeader + QStringLiteral("Filename extention should Be .sis"));
    EXPECT_FALSE(QFileInfo::exists(paths.savedSetsDir + QStringLiteral("/Storm.gif")));

    // A name typed without an extension gets ".sis", as the dialog's default.
    shown.clear();
    saveAs(paths.savedSetsDir + QStringLiteral("/Wichita storm"));
    EXPECT_TRUE(shown.isEmpty());
    const auto typed = folderContents(paths.savedSetsDir + QStringLiteral("/Wichita storm"));
    EXPECT_EQ(typed.at(QStringLiteral("Wichita storm.sis")), recordOf(loop().model(), 6));
    EXPECT_EQ(typed.size(), 4u);

    // A full disk or an image removed behind the program's back: no set is left.
    {
        nubivista::testing::FileSizeLimit limit(4000);
        saveAs(paths.savedSetsDir + QStringLiteral("/Full.sis"));
    }
    EXPECT_TRUE(lastText().startsWith(kLoadingHeader + QStringLiteral("Image Filecopy failed...")));
    EXPECT_FALSE(QFileInfo::exists(paths.savedSetsDir + QStringLiteral("/Full")));

    ASSERT_TRUE(QFile::remove(loop().slotFile(2)));
    saveAs(paths.savedSetsDir + QStringLiteral("/Gone.sis"));
    EXPECT_EQ(lastText(),
              kLoadingHeader + QStringLiteral("Image Filecopy failed...\r\n") + loop().slotFile(2));
    EXPECT_FALSE(QFileInfo::exists(paths.savedSetsDir + QStringLiteral("/Gone")));
}

TEST_F(SetCommandsTest, SavingOverAnExistingSetAsksAndKeepsImagesOfEmptiedSlots) {
    showWindow();
    fillSlots(3);
    settings.MsgOffMap[12] = u'1';
    const QString record = paths.savedSetsDir + QStringLiteral("/Storm/Storm.sis");
    const QString folder = QFileInfo(record).absolutePath();
    saveAs(paths.savedSetsDir + QStringLiteral("/Storm.sis"));
    const auto first = folderContents(folder);
    ASSERT_EQ(first.size(), 4u);

    loop().clearSlot(3);
    decline = true;
    saveAs(record);
    expectOnlyMessage(
        3, 0, QStringLiteral("\r\n\r\nThe Set: \r\nStorm\r\nAlready Exists. . .Overwrite It?"));
    EXPECT_EQ(folderContents(folder), first);

    decline = false;
    saveAs(record);
    const auto second = folderContents(folder);
    EXPECT_EQ(second.at(QStringLiteral("Storm.sis")), recordOf(loop().model(), 6));
    EXPECT_EQ(second.at(QStringLiteral("latest3.gif")), first.at(QStringLiteral("latest3.gif")));
    EXPECT_EQ(sets::readSetRecordFile(record).record->imageCount, 2);
}

TEST_F(SetCommandsTest, AnExistingRecordDirectlyInTheSetsFolderSavesBesideThatFolder) {
    showWindow();
    fillSlots(2);
    const QString loose = paths.savedSetsDir + QStringLiteral("/Storm.sis");
    ASSERT_TRUE(writeBytes(loose, "old"));
    saveAs(loose);
    EXPECT_EQ(readBytes(loose), QByteArray("old"));
    EXPECT_TRUE(QFileInfo::exists(paths.userDir + QStringLiteral("/Storm/Storm.sis")));
    EXPECT_TRUE(QFileInfo::exists(paths.userDir + QStringLiteral("/Storm/latest2.gif")));
}

TEST_F(SetCommandsTest, ASavedSetOpensWithTheSamePicturesTimesRingAndCaption) {
    showWindow();
    fillSlots(20);
    loop().updateModel([](sets::SlotModel& m) {
        m.ringOffset = 7;
        m.newestSlot = 7;
        m.wrapState = sets::kRingFull;
        m.paneUrl = kImageUrl;
        m.siteImageUrl = kImageUrl;
        m.siteCode = QStringLiteral("kmlb");
    });
    const sets::SlotModel saved = loop().model();
    std::map<int, QByteArray> pictures;
    for (int slot = 1; slot <= 20; ++slot)
        pictures[slot] = readBytes(loop().slotFile(slot));
    saveAs(paths.savedSetsDir + QStringLiteral("/Round.sis"));
    ASSERT_EQ(shown.size(), 1) << lastText().toStdString();

    loop().clearAll();
    for (int slot = 1; slot <= 20; ++slot)
        ASSERT_TRUE(writeBytes(loop().slotFile(slot), readBytes(sample(slot + 5))));
    openSet(paths.savedSetsDir + QStringLiteral("/Round/Round.sis"));
    EXPECT_EQ(loop().model(), saved);
    for (int slot = 1; slot <= 20; ++slot)
        EXPECT_EQ(readBytes(loop().slotFile(slot)), pictures[slot]) << slot;
    EXPECT_EQ(selectedTab(), 20);
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Round - KMLB - Melbourne, FL - Nubivista"));
}

TEST_F(SetCommandsTest, WithFitCheckedTheWindowFitsTheOpenedPictures) {
    const QString path = writeSet(QStringLiteral("Storm"));
    showWindow({1300, 1000});
    const QSize before = form().size();
    openSet(path);
    EXPECT_EQ(form().size(), before);

    // Checking the box fits the window at once; the open must fit it again.
    controls().Check5->setChecked(true);
    form().resize(before);
    QApplication::processEvents();
    ASSERT_EQ(form().size(), before);
    openSet(path);
    EXPECT_NE(form().size(), before);
}
