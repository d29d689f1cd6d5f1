// The set commands on their own: saving, opening and deleting saved sets with
// their advice, dialogs and messages, and what a refused or failed command
// leaves on disk. The window's own part (stamp boxes, skip boxes, the fit)
// is tried in the display tests.
#include "core/form1.h"
#include "core/message_service.h"
#include "sets/set_commands.h"
#include "sets/set_record.h"
#include "sets/set_test_support.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/shown_messages.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace nubivista;
using namespace nubivista::sets;
using nubivista::sets::testing::recordOf;
using nubivista::sets::testing::turnedRing;
using nubivista::testing::folderContents;
using nubivista::testing::readBytes;
using nubivista::testing::ShownMessage;
using nubivista::testing::writeBytes;

namespace {

const QString kImageUrl = nubivista::sets::testing::kKmlbImageUrl;
const QString kLoadingHeader =
    QStringLiteral("\r\n\r\n\r\nAn Error Occurred Loading Saved Image Set\r\n");

class SetCommandsTest : public ::testing::Test {
protected:
    SetCommandsTest() {
        QDir().mkpath(paths.loopImagesDir);
        QDir().mkpath(paths.savedSetsDir);
        nubivista::testing::recordMessages(messages, shown, decline);
        peers.refreshState = [this] { return running; };
        peers.setCaption = [this](const QString& caption) { this->caption = caption; };
        peers.selectTab = [this](int tab) { selectedTab = tab; };
        peers.skipChecked = [this](int tab) { return checkedTabs.contains(tab); };
        commands_ = std::make_unique<SetCommands>(
            form, loop,
            [this](SetDialog dialog, const QString& folder,
                   const QString& filter) -> std::optional<ChosenFile> {
                dialogs.push_back({dialog, folder, filter});
                if (chosen.isEmpty())
                    return std::nullopt;
                return ChosenFile{chosen, QFileInfo(chosen).fileName()};
            },
            peers);
    }

    void click(const char* item) { form.menuItem(QString::fromLatin1(item))->trigger(); }
    // Copies sample images into slots 1..count, a minute apart.
    void fillSlots(int count) {
        for (int slot = 1; slot <= count; ++slot) {
            QFile::remove(loop.slotFile(slot));
            ASSERT_TRUE(QFile::copy(nubivista::testing::samplePicture(slot), loop.slotFile(slot)));
            loop.storeImage(slot, 46362.5 + (slot - 1) / 1440.0);
        }
        loop.updateModel([count](SlotModel& m) { m.newestSlot = std::int16_t(count); });
    }
    // A saved set folder name/name.sis holding record and sample images in
    // its twenty slots; returns the record path.
    QString writeSet(const QString& name, const QByteArray& record = recordOf(turnedRing(), 9)) {
        const QString folder = paths.savedSetsDir + u'/' + name;
        for (int slot = 1; slot <= kSlotCount; ++slot)
            EXPECT_TRUE(writeBytes(folder + QStringLiteral("/latest%1.gif").arg(slot),
                                   readBytes(nubivista::testing::samplePicture(slot + 3))));
        EXPECT_TRUE(writeBytes(folder + u'/' + name + QStringLiteral(".sis"), record));
        return folder + u'/' + name + QStringLiteral(".sis");
    }
    // Opens the record at path as the user does, through the deferred step.
    void openSet(const QString& path) {
        chosen = path;
        click("mnuOpenSet");
        ASSERT_EQ(form.DeferredAction(), core::deferred::OpenSavedSet);
        form.Timer6_Timer();
    }
    void saveAs(const QString& path) {
        chosen = path;
        click("mnuSaveSet");
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.constLast().text; }
    QString setPath(const char* relative) const {
        return paths.savedSetsDir + u'/' + QLatin1String(relative);
    }

    QTemporaryDir home;
    core::AppPaths paths = core::derivePaths(QStringLiteral(NUBIVISTA_APP_DIR), home.path());
    core::Settings settings;
    core::MessageService messages{settings.MsgOffMap};
    core::ManualClock clock;
    core::Form1 form{settings, paths, messages, clock};
    LoopSet loop{paths.setRecPath, paths.loopImgBase,
                 [this] { return settings.RefreshIntervalMinutes; }};
    SetCommandPeers peers;
    QList<ShownMessage> shown;
    bool decline = false;
    int running = 0;
    QString caption;
    int selectedTab = 0;
    QList<int> checkedTabs; // the tabs whose skip box is checked
    QString chosen;         // the file the dialogs choose; none (cancelled) when empty
    struct DialogShown {
        SetDialog dialog;
        QString folder;
        QString filter;
        bool operator==(const DialogShown&) const = default;
    };
    std::vector<DialogShown> dialogs;

private:
    std::unique_ptr<SetCommands> commands_;
};

} // namespace

TEST_F(SetCommandsTest, AChosenFileMustExistAndEndInSis) {
    const QString upper = writeSet(QStringLiteral("Upper"));
    const QString renamed = setPath("Upper/Upper.SIS");
    ASSERT_TRUE(QFile::rename(upper, renamed));
    const QString text = setPath("notes.txt");
    ASSERT_TRUE(writeBytes(text, "x"));
    const QString missing = setPath("gone.sis");
    fillSlots(2);
    const std::pair<QString, QString> refused[] = {
        {missing, QStringLiteral("File Does Not Exist...\r\n") + missing},
        {text, QStringLiteral("Filename extention should Be .sis")},
    };
    for (const auto& [path, detail] : refused) {
        chosen = path;
        click("mnuOpenSet");
        EXPECT_EQ(lastText(), kLoadingHeader + detail);
        EXPECT_EQ(loop.filledCount(), 2);
        EXPECT_NE(form.DeferredAction(), core::deferred::OpenSavedSet);
    }
    openSet(renamed);
    EXPECT_EQ(loop.filledCount(), 20);
    EXPECT_EQ(caption, QStringLiteral("Upper - KMLB - Melbourne, FL - Nubivista"));
}

TEST_F(SetCommandsTest, ARefusedSetChangesNothingOnDiskAndLeavesTheSlotsCleared) {
    for (int n = 1; n <= 11; ++n)
        ASSERT_TRUE(writeBytes(loop.slotFile(n), readBytes(nubivista::testing::samplePicture(n))));
    const auto loopBefore = folderContents(paths.loopImagesDir);
    const QByteArray good = recordOf(turnedRing(), 9);
    const auto withUrl = [](const QString& url) { return recordOf(turnedRing(url), 9); };
    const QString contaminated =
        kLoadingHeader + QStringLiteral(".sis Record File Was Contaminated.");
    const QString missingImage = setPath("Missing/latest7.gif");
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
    for (const auto& row : table) {
        SCOPED_TRACE(row.name.toStdString());
        const QString path = writeSet(row.name, row.record);
        if (row.name == QStringLiteral("Missing")) {
            ASSERT_TRUE(QFile::remove(missingImage));
        }
        fillSlots(2);
        caption = QStringLiteral("before");
        shown.clear();
        openSet(path);
        ASSERT_EQ(shown.size(), 2);
        EXPECT_EQ(shown[1], (ShownMessage{1, row.message, 0}));
        EXPECT_EQ(loop.filledCount(), 0);
        EXPECT_EQ(caption, QStringLiteral("before"));
        EXPECT_EQ(folderContents(paths.loopImagesDir), loopBefore);
        EXPECT_EQ(settings.RefreshIntervalMinutes, 6);
    }
}

TEST_F(SetCommandsTest, DeleteTakesOutTheCheckedImagesAndWithNoneCheckedOnlySaysSo) {
    fillSlots(3);
    click("mnuDelete");
    EXPECT_EQ(loop.filledCount(), 3);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].kind, 1);
    checkedTabs = {2};
    click("mnuDelete");
    EXPECT_EQ(loop.filledCount(), 2);
    EXPECT_EQ(QDir(paths.loopImagesDir).entryList(QDir::Files).filter(".gif").size(), 2);
}

TEST_F(SetCommandsTest, SavingNeedsFilledSlotsAndNoRunningProcess) {
    saveAs(setPath("Storm.sis"));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(dialogs.empty());

    fillSlots(3);
    running = 1;
    saveAs(setPath("Storm.sis"));
    EXPECT_EQ(shown,
              (QList<ShownMessage>{{1,
                                    QStringLiteral("\r\n\r\nUse The -Shut-Down- Button To Halt \r\n"
                                                   "The Current Running Process, Temporarily, \r\n"
                                                   "To Avoid Errors.\r\nThen, Save The Set."),
                                    0}}));
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(QDir(paths.savedSetsDir).isEmpty());
}

TEST_F(SetCommandsTest, SavingWritesTheSetFolderAsTypedOrSaysWhatFailed) {
    fillSlots(3);
    settings.MsgOffMap[12] = u'1'; // the advice switched off
    saveAs(setPath("Storm.SIS"));
    EXPECT_TRUE(shown.isEmpty());
    const auto saved = folderContents(setPath("Storm.SIS"));
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved.at(QStringLiteral("Storm.SIS")), recordOf(loop.model(), 6));
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_EQ(saved.at(QStringLiteral("latest%1.gif").arg(slot)),
                  readBytes(nubivista::testing::samplePicture(slot)));

    saveAs(setPath("Storm.gif"));
    EXPECT_EQ(lastText(), kLoadingHeader + QStringLiteral("Filename extention should Be .sis"));
    EXPECT_FALSE(QFileInfo::exists(setPath("Storm.gif")));

    // A name typed without an extension gets ".sis", as the dialog's default.
    shown.clear();
    saveAs(setPath("Wichita storm"));
    EXPECT_TRUE(shown.isEmpty());
    const auto typed = folderContents(setPath("Wichita storm"));
    EXPECT_EQ(typed.at(QStringLiteral("Wichita storm.sis")), recordOf(loop.model(), 6));
    EXPECT_EQ(typed.size(), 4u);

    // A full disk or an image removed behind the program's back: no set is left.
    {
        nubivista::testing::FileSizeLimit limit(4000);
        saveAs(setPath("Full.sis"));
    }
    EXPECT_TRUE(lastText().startsWith(kLoadingHeader + QStringLiteral("Image Filecopy failed...")));
    EXPECT_FALSE(QFileInfo::exists(setPath("Full")));

    ASSERT_TRUE(QFile::remove(loop.slotFile(2)));
    saveAs(setPath("Gone.sis"));
    EXPECT_EQ(lastText(),
              kLoadingHeader + QStringLiteral("Image Filecopy failed...\r\n") + loop.slotFile(2));
    EXPECT_FALSE(QFileInfo::exists(setPath("Gone")));
}

TEST_F(SetCommandsTest, SavingOverAnExistingSetAsksAndKeepsImagesOfEmptiedSlots) {
    fillSlots(3);
    settings.MsgOffMap[12] = u'1';
    const QString record = setPath("Storm/Storm.sis");
    const QString folder = QFileInfo(record).absolutePath();
    saveAs(setPath("Storm.sis"));
    const auto first = folderContents(folder);
    ASSERT_EQ(first.size(), 4u);

    loop.clearSlot(3);
    decline = true;
    saveAs(record);
    EXPECT_EQ(
        shown,
        (QList<ShownMessage>{
            {3, QStringLiteral("\r\n\r\nThe Set: \r\nStorm\r\nAlready Exists. . .Overwrite It?"),
             0}}));
    EXPECT_EQ(folderContents(folder), first);

    decline = false;
    saveAs(record);
    const auto second = folderContents(folder);
    EXPECT_EQ(second.at(QStringLiteral("Storm.sis")), recordOf(loop.model(), 6));
    EXPECT_EQ(second.at(QStringLiteral("latest3.gif")), first.at(QStringLiteral("latest3.gif")));
    EXPECT_EQ(readSetRecordFile(record).record->imageCount, 2);

    // A record lying loose in the sets folder: the set goes into a folder of
    // its name beside it, and the loose record is left alone.
    const QString loose = setPath("Loose.sis");
    ASSERT_TRUE(writeBytes(loose, "old"));
    saveAs(loose);
    EXPECT_EQ(readBytes(loose), QByteArray("old"));
    EXPECT_TRUE(QFileInfo::exists(paths.userDir + QStringLiteral("/Loose/Loose.sis")));
    EXPECT_TRUE(QFileInfo::exists(paths.userDir + QStringLiteral("/Loose/latest2.gif")));
}

TEST_F(SetCommandsTest, ASavedSetOpensWithTheSamePicturesTimesRingAndCaption) {
    fillSlots(20);
    loop.updateModel([](SlotModel& m) {
        m.ringOffset = 7;
        m.newestSlot = 7;
        m.wrapState = kRingFull;
        m.paneUrl = kImageUrl;
        m.siteImageUrl = kImageUrl;
        m.siteCode = QStringLiteral("kmlb");
    });
    const SlotModel saved = loop.model();
    std::map<int, QByteArray> pictures;
    for (int slot = 1; slot <= 20; ++slot)
        pictures[slot] = readBytes(loop.slotFile(slot));
    saveAs(setPath("Round.sis"));
    ASSERT_EQ(shown.size(), 1) << lastText().toStdString();

    loop.clearAll();
    for (int slot = 1; slot <= 20; ++slot)
        ASSERT_TRUE(writeBytes(loop.slotFile(slot),
                               readBytes(nubivista::testing::samplePicture(slot + 5))));
    openSet(setPath("Round/Round.sis"));
    EXPECT_EQ(loop.model(), saved);
    for (int slot = 1; slot <= 20; ++slot)
        EXPECT_EQ(readBytes(loop.slotFile(slot)), pictures[slot]) << slot;
    // The tab of the newest image, slot 7, with the ring turned by 7.
    EXPECT_EQ(selectedTab, 20);
    EXPECT_EQ(caption, QStringLiteral("Round - KMLB - Melbourne, FL - Nubivista"));
    EXPECT_EQ(readBytes(paths.setRecPath), readBytes(setPath("Round/Round.sis")));
}
