// The stamp boxes in the window: each image's own strip, a blank box for a
// missing or damaged file, and a reload of the last current set with hidden
// boxes.
#include "display/tab_display.h"
#include "display/time_stamps.h"
#include "display/time_text.h"
#include "window_fixture.h"

#include <QAction>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

namespace {

class TimeStampsTest : public MainWindowTest {
protected:
    QImage box(int slot) {
        return controls().Picture8[slot]->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    }
    const QImage blank = display::stampBoxImage(QImage());
};

} // namespace

TEST_F(TimeStampsTest, EachStoredImagePaintsItsBoxWithTheImagesOwnStrip) {
    showWindow();
    fillSlots(3);
    for (int slot = 1; slot <= 3; ++slot) {
        const QImage image = QImage(loop().slotFile(slot)).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(box(slot).copy(0, 2, 142, 10), image.copy(395, 0, 142, 10)) << slot;
    }
    display().tabs().selectTab(2);
    EXPECT_TRUE(controls().Picture8[2]->isVisibleTo(controls().Picture2));
    EXPECT_FALSE(controls().Picture8[1]->isVisibleTo(controls().Picture2));
}

TEST_F(TimeStampsTest, TheTwentiethImageHasItsBoxAfterARedoPastAnEmptySlotAndAReloadAndItsTime) {
    settings.HideStampBox = 1;
    showWindow();
    fillSlots(20);
    loop().clearSlot(2);
    settings.HideStampBox = 0;
    display().stamps().LodTimStmpImg(QString(), 0, true);
    EXPECT_EQ(box(2), blank);
    for (const int slot : {3, 20}) {
        const QImage image = QImage(loop().slotFile(slot)).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(box(slot).copy(0, 2, 142, 10), image.copy(395, 0, 142, 10)) << slot;
    }
    loop().clearSlot(20);
    EXPECT_EQ(box(20), blank) << "an emptied slot's box is blanked";
    settings.HideStampBox = 1;
    fillSlots(20);
    settings.HideStampBox = 0;
    emit loop().picturesReloaded();
    const QImage twentieth = QImage(loop().slotFile(20)).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(box(20).copy(0, 2, 142, 10), twentieth.copy(395, 0, 142, 10)) << "after a reload";

    // The time box shows its time; a time form the program does not know leaves it.
    settings.TimeDisplayMode = display::kTimeUtc;
    display().stamps().WriteTimeText(20);
    const QString time = controls().Text3->text();
    EXPECT_EQ(time, display::timeText(loop().model().slotTime[20], display::kTimeUtc, clock));
    settings.TimeDisplayMode = 9;
    display().stamps().WriteTimeText(1);
    EXPECT_EQ(controls().Text3->text(), time);
}

TEST_F(TimeStampsTest, AMissingOrDamagedFileLeavesItsBoxBlank) {
    showWindow();
    fillSlots(2);
    display().stamps().LodTimStmpImg(home.filePath(QStringLiteral("missing.gif")), 1, false);
    EXPECT_EQ(box(1), blank);
    const QString bad = home.filePath(QStringLiteral("bad.gif"));
    ASSERT_TRUE(nubivista::testing::writeBytes(bad, QByteArray("GIF89a\x10\x00", 8)));
    display().stamps().LodTimStmpImg(bad, 2, false);
    EXPECT_EQ(box(2), blank);
    // A slot outside 1 to 20 has no box: nothing changes.
    const QImage first = box(1);
    for (const int slot : {0, 21})
        display().stamps().LodTimStmpImg(loop().slotFile(1), slot, false);
    EXPECT_EQ(box(1), first);
}

TEST_F(TimeStampsTest, AReloadKeepsHiddenBoxesBlankAndRefusesARemovedImage) {
    for (const QString& name : QDir(nubivista::testing::sampleSetDir()).entryList(QDir::Files)) {
        QFile::remove(paths.loopImagesDir + u'/' + name);
        ASSERT_TRUE(QFile::copy(nubivista::testing::sampleSetDir() + u'/' + name,
                                paths.loopImagesDir + u'/' + name));
    }
    const QByteArray record = nubivista::testing::readBytes(paths.setRecPath);
    const auto reload = [this] {
        form().menuItem(QStringLiteral("mnuReOpenCurrSet"))->trigger();
        form().Timer6_Timer();
    };
    settings.HideStampBox = 1;
    showWindow();
    reload();
    ASSERT_EQ(loop().filledCount(), 11);
    const QImage blank = display::stampBoxImage(QImage()).convertToFormat(QImage::Format_RGB32);
    for (int slot = 1; slot <= 11; ++slot)
        EXPECT_EQ(
            controls().Picture8[slot]->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
            blank)
            << slot;

    ASSERT_TRUE(QFile::remove(loop().slotFile(4)));
    reload();
    EXPECT_EQ(shown.constLast().text,
              QStringLiteral("\r\n\r\n\r\nAn Error Occurred Reoading The Image Set\r\n"
                             "File Does Not Exist...\r\n") +
                  loop().slotFile(4));
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(nubivista::testing::readBytes(paths.setRecPath), record);
}
