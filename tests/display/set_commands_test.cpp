// The set commands in the assembled window: reloading the last current set
// and opening a saved one, with what the window shows of them (the tab, the
// skip and stamp boxes, the map set aside, the fit). The commands' own rules
// are tried in the sets tests.
#include "display/tab_display.h"
#include "display/time_text.h"
#include "sets/set_test_support.h"
#include "window_fixture.h"

#include <QAction>

using namespace nubivista;
using nubivista::sets::testing::recordOf;
using nubivista::sets::testing::turnedRing;
using nubivista::testing::MainWindowTest;
using nubivista::testing::readBytes;
using nubivista::testing::sampleSetDir;
using nubivista::testing::writeBytes;

namespace {

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
                                   readBytes(nubivista::testing::samplePicture(slot + 3))));
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

    void expectOnlyMessage(int kind, int id, const QString& text) {
        EXPECT_EQ(shown, (QList<nubivista::testing::ShownMessage>{{kind, text, id}}));
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
