// Reloading the last current set in the assembled window: hidden stamp boxes
// stay blank and a removed image is refused. The set commands' own rules are
// tried in the sets tests.
#include "display/time_text.h"
#include "window_fixture.h"

#include <QAction>

using namespace nubivista;
using nubivista::testing::MainWindowTest;
using nubivista::testing::readBytes;
using nubivista::testing::sampleSetDir;

TEST_F(MainWindowTest, AReloadKeepsHiddenBoxesBlankAndRefusesARemovedImage) {
    for (const QString& name : QDir(sampleSetDir()).entryList(QDir::Files)) {
        QFile::remove(paths.loopImagesDir + u'/' + name);
        ASSERT_TRUE(QFile::copy(sampleSetDir() + u'/' + name, paths.loopImagesDir + u'/' + name));
    }
    const QByteArray record = readBytes(paths.setRecPath);
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
    EXPECT_EQ(readBytes(paths.setRecPath), record);
}
