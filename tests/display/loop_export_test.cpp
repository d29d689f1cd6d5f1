// Exporting the loop as an animated GIF from the popup menu: the file plays
// what the window plays (skip boxes, rock, delays, zoom, time form), it is
// small, and a cancel, a full disk or a folder that cannot be written leave
// nothing behind.
#include "app/gif_export_command.h"
#include "display/loop_export.h"
#include "display/time_text.h"
#include "sets/companion_files.h"
#include "support/file_size_limit.h"
#include "window_fixture.h"

#include <QAction>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

namespace {

struct Decoded {
    std::vector<QImage> frames;
    std::vector<int> delaysMs;
    int loopCount = 0;
};

Decoded decode(const QString& path) {
    Decoded out;
    QImageReader reader(path);
    reader.setAutoTransform(false);
    out.loopCount = reader.loopCount();
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        out.delaysMs.push_back(reader.nextImageDelay());
        out.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    }
    return out;
}

class LoopExportTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        settings.LoopDelayMs = 120;
        settings.FirstExtraMs = 500;
        settings.LastExtraMs = 1000;
        settings.RockMode = 0;
        settings.TimeDisplayMode = display::kTimeUtc;
        showWindow();
    }

    display::LoopExport& exporter() { return display().gifExport(); }
    QAction* menuItem() { return form().menuItem(QStringLiteral("mnuExportGif")); }
    QString outPath(const QString& name) { return out.filePath(name); }

    // Chooses path in the save dialog and runs the export to its end.
    void exportTo(const QString& path) {
        gifChooser = [path](const QString&, const QString&) { return path; };
        ASSERT_TRUE(menuItem()->isEnabled());
        menuItem()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!exporter().running(), 60000);
    }

    // What the window shows for tab at scale: the picture stretched to the
    // canvas pixel by pixel, with the slot's time as text over the spot where
    // the picture prints its own.
    QImage expectedFrame(int tab, QSize canvas, double scale, const QString& stampText) {
        const QImage& picture = loop().picture(loop().slotForTab(tab));
        QImage frame = picture.scaled(canvas, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                           .convertToFormat(QImage::Format_RGB32);
        const QImage stamp = display::timeStampImage(stampText, scale);
        QPainter(&frame).drawImage(display::timeStampPosition(canvas, scale, stamp.size()), stamp);
        return frame;
    }

    QStringList filesInOut() { return QDir(out.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir out;
};

TEST_F(LoopExportTest, TwentyImagesWithThreeSkippedPlayAsSeventeenStampedFramesForever) {
    fillSlots(20);
    for (int tab : {4, 9, 15})
        controls().Check4[tab]->setChecked(true);
    settings.ZoomFactor = 1.5f;
    const QString path = outPath(QStringLiteral("storm.gif"));
    exportTo(path);
    EXPECT_TRUE(shown.isEmpty()) << shown.value(0).text.toStdString();
    EXPECT_TRUE(form().statusPanel(1)->text().contains("17 frames"));

    const Decoded gif = decode(path);
    ASSERT_EQ(gif.frames.size(), 17u);
    EXPECT_EQ(gif.loopCount, -1); // NETSCAPE2.0, played forever
    int at = 0;
    for (int tab = 1; tab <= 20; ++tab) {
        if (tab == 4 || tab == 9 || tab == 15)
            continue;
        // Slot s was stored at 12:00 + (s - 1) minutes UTC on 6 December 2026.
        const QString stamp =
            QStringLiteral("12:%1 UTC 12/06/2026").arg(tab - 1, 2, 10, QChar('0'));
        EXPECT_EQ(gif.frames[at], expectedFrame(tab, QSize(900, 825), 1.5, stamp)) << "tab " << tab;
        const int delay = tab == 1 ? 620 : tab == 20 ? 1120 : 120;
        EXPECT_EQ(gif.delaysMs[at], delay) << "tab " << tab;
        ++at;
    }
}

TEST_F(LoopExportTest, RockPlaysUpAndBackInTwoNMinusTwoFramesInTheChosenTimeForm) {
    fillSlots(5);
    settings.RockMode = 1;
    settings.TimeDisplayMode = display::kTimeLocalAmPm;
    settings.ZoomFactor = 3.0f; // beyond zoom 2 the file stays at zoom 2
    const QString path = outPath(QStringLiteral("rock.gif"));
    exportTo(path);

    const Decoded gif = decode(path);
    const std::vector<int> tabs{1, 2, 3, 4, 5, 4, 3, 2};
    const std::vector<int> delays{620, 120, 120, 120, 1120, 120, 120, 120};
    ASSERT_EQ(gif.frames.size(), tabs.size());
    EXPECT_EQ(gif.delaysMs, delays);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const int slot = loop().slotForTab(tabs[i]);
        const QString stamp =
            *display::timeText(loop().model().slotTime[slot], display::kTimeLocalAmPm, clock);
        ASSERT_TRUE(stamp.contains(" am ") || stamp.contains(" pm ")) << stamp.toStdString();
        EXPECT_EQ(gif.frames[i], expectedFrame(tabs[i], QSize(1200, 1100), 2.0, stamp))
            << "frame " << i;
    }
}

TEST_F(LoopExportTest, EachFrameCarriesItsImagesStormCellsAndThePlaces) {
    fillSlots(2);
    loop().updateModel([](sets::SlotModel& m) { m.siteCode = QStringLiteral("kmkx"); });
    // A tornado vortex 50 miles north of the radar in the first image only.
    QFile cells(sets::stormCellsFileOf(loop().slotFile(1)));
    ASSERT_TRUE(cells.open(QIODevice::WriteOnly));
    cells.write(R"({"site": "kmkx", "scanTime": "2026-12-06T12:00:00Z",
                   "cells": [{"id": "A1", "lat": 43.6849, "lon": -88.550667, "tvs": true}]})");
    cells.close();
    loop().replaceModel(loop().model());
    ASSERT_TRUE(window->places().add({QStringLiteral("Radar"), 42.9679, -88.550667, 5, false}));
    const QString path = outPath(QStringLiteral("tracks.gif"));
    exportTo(path);

    const Decoded gif = decode(path);
    ASSERT_EQ(gif.frames.size(), 2u);
    const auto pixelsOf = [](const QImage& frame, QRect area, QRgb colour) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += frame.pixel(x, y) == colour;
        return count;
    };
    // The vortex's red triangle stands above the cell at (300, 175).
    const QRect vortex(290, 150, 20, 25);
    EXPECT_GT(pixelsOf(gif.frames[0], vortex, qRgb(255, 0, 0)), 10);
    EXPECT_EQ(pixelsOf(gif.frames[1], vortex, qRgb(255, 0, 0)), 0);
    // The place's white dot on the radar, in both.
    for (const QImage& frame : gif.frames)
        EXPECT_GT(pixelsOf(frame, QRect(297, 272, 7, 7), qRgb(255, 255, 255)), 4);
}

TEST_F(LoopExportTest, TheCommandLineExportRefusesOneImageAndWritesTwo) {
    for (const int count : {1, 2}) {
        fillSlots(count);
        loop().save();
        const QString path = outPath(QStringLiteral("loop%1.gif").arg(count));
        QString said;
        QTextStream out(&said), err(&said);
        EXPECT_EQ(app::runGifExport({path, {}}, paths, clock, out, err), count == 1 ? 1 : 0)
            << said.toStdString();
        EXPECT_EQ(said.contains(QLatin1String("fewer than two images")), count == 1);
        EXPECT_EQ(decode(path).frames.size(), count == 1 ? 0u : 2u);
    }
}

TEST_F(LoopExportTest, TheMenuFollowsTheLoopAndTheFileIsSmallerThanSeparatePictures) {
    EXPECT_FALSE(menuItem()->isEnabled());
    EXPECT_EQ(menuItem()->text().remove('&'), "Export Loop As Animated GIF...");
    fillSlots(1);
    EXPECT_FALSE(menuItem()->isEnabled()); // one image is no loop
    fillSlots(20);
    EXPECT_TRUE(menuItem()->isEnabled());

    // A name typed without its suffix gets ".gif"; the next export's dialog
    // opens where this one went.
    exportTo(outPath(QStringLiteral("twenty")));
    const QString written = outPath(QStringLiteral("twenty.gif"));
    ASSERT_TRUE(QFileInfo::exists(written));
    qint64 separate = 0;
    for (int slot = 1; slot <= 20; ++slot)
        separate += QFileInfo(loop().slotFile(slot)).size();
    EXPECT_LT(QFileInfo(written).size(), separate);
    EXPECT_EQ(decode(written).frames.size(), 20u);

    exportTo(outPath(QStringLiteral("again.gif")));
    ASSERT_EQ(gifDialogs.size(), 2);
    EXPECT_NE(gifDialogs[0][0], out.path()); // the pictures folder, the first time
    EXPECT_EQ(QDir(gifDialogs[1][0]), QDir(out.path()));
    EXPECT_TRUE(QFileInfo(paths.userDir + "/LastExportFolder.txt").isFile());
    EXPECT_EQ(filesInOut(), (QStringList{"again.gif", "twenty.gif"}));

    // A cancelled dialog exports nothing.
    gifChooser = {};
    menuItem()->trigger();
    EXPECT_FALSE(exporter().running());
}

TEST_F(LoopExportTest, ACancelAFullDiskOrAnUnwritableFolderLeaveNoFileBehind) {
    fillSlots(20);
    settings.ZoomFactor = 2.0f;

    // Cancelled while it runs: the status bar showed the progress and the
    // Cancel button, and no file is made.
    gifChooser = [this](const QString&, const QString&) { return outPath("cancelled.gif"); };
    menuItem()->trigger();
    ASSERT_TRUE(exporter().running());
    auto* cancel = form().findChild<QPushButton*>("cmdCancelExport");
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_TRUE(form().ProgressBar1()->isVisible());
    EXPECT_FALSE(menuItem()->isEnabled()); // one export at a time
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!exporter().running(), 60000);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(form().statusPanel(1)->text().contains("cancelled"));
    EXPECT_TRUE(filesInOut().isEmpty());

    // A full disk: the message says so, and the file that was there stays.
    const QString existing = outPath("storm.gif");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the earlier export");
    }
    {
        const nubivista::testing::FileSizeLimit limit(40000);
        exportTo(existing);
    }
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].text.contains("could not be written"));
    EXPECT_TRUE(shown[0].text.contains("disk may be full"));
    EXPECT_EQ(filesInOut(), QStringList{"storm.gif"});
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the earlier export");

    // A folder that cannot take files (here: a file stands where it should be).
    exportTo(outPath("storm.gif/loop.gif"));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].text.contains("could not be made in the folder"));
    EXPECT_EQ(filesInOut(), QStringList{"storm.gif"});
    EXPECT_TRUE(menuItem()->isEnabled());
}

} // namespace
