// nubivista --export-gif FILE [--set NAME]: the current loop or a saved set
// written without a window, with the loop settings the window would play.
#include "app/gif_export_command.h"
#include "core/settings.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace nubivista::app {
namespace {

const QString kSample = QStringLiteral(NUBIVISTA_APP_DIR "/Sample Loop Images");

// The shipped sample: 11 images in a current set record.
void copySample(const QString& folder, const QString& recordName) {
    QDir().mkpath(folder);
    for (const QString& name : QDir(kSample).entryList(QDir::Files)) {
        const QString target =
            folder + '/' + (name == QLatin1String("CurrSetRec.sis") ? recordName : name);
        ASSERT_TRUE(QFile::copy(kSample + '/' + name, target)) << name.toStdString();
    }
}

std::vector<int> delaysOf(const QString& path) {
    QImageReader reader(path);
    std::vector<int> delays;
    while (reader.canRead() && !reader.read().isNull())
        delays.push_back(reader.nextImageDelay());
    return delays;
}

class GifExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        paths = core::derivePaths(QStringLiteral(NUBIVISTA_APP_DIR), profile.path());
    }
    int run(const QString& setName) {
        outText.clear();
        errText.clear();
        QTextStream out(&outText), err(&errText);
        return runGifExport({target, setName}, paths, clock, out, err);
    }

    QTemporaryDir profile;
    core::AppPaths paths;
    core::ManualClock clock;
    QString target = profile.filePath("loop.gif");
    QString outText, errText;
};

TEST_F(GifExportCommand, SaysWhyWhenThereIsNothingToExportAndMakesNoFile) {
    EXPECT_EQ(run({}), 1);
    EXPECT_TRUE(errText.contains("no current loop")) << errText.toStdString();
    EXPECT_EQ(run("Nope"), 1);
    EXPECT_TRUE(errText.contains("saved set \"Nope\"")) << errText.toStdString();

    QDir().mkpath(paths.loopImagesDir);
    QFile broken(paths.setRecPath);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a record");
    broken.close();
    EXPECT_EQ(run({}), 1);
    EXPECT_TRUE(errText.contains("not a usable image set record")) << errText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_F(GifExportCommand, TheProgramExportsWithoutADisplayAndExits) {
    copySample(paths.loopImagesDir, "CurrSetRec.sis");
    // A tornado vortex 50 miles north of the sample's radar, beside its first image.
    QFile cells(paths.loopImagesDir + "/latest1.storms.json");
    ASSERT_TRUE(cells.open(QIODevice::WriteOnly));
    cells.write(R"({"site": "kmkx", "scanTime": "2026-06-12T13:00:00Z",
                   "cells": [{"id": "A1", "lat": 43.6849, "lon": -88.550667, "tvs": true}]})");
    cells.close();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", profile.path());
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(env);
    program.start(NUBIVISTA_APP_DIR "/nubivista", {"--export-gif", target});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(delaysOf(target).size(), 11u);
    // The first frame shows the vortex's red triangle over its picture; the second none.
    QImageReader frames(target);
    for (int slot = 1; slot <= 2; ++slot) {
        const QImage frame = frames.read().convertToFormat(QImage::Format_RGB32);
        const QImage picture = QImage(kSample + QStringLiteral("/latest%1.gif").arg(slot))
                                   .convertToFormat(QImage::Format_RGB32);
        int changed = 0;
        for (int y = 150; y < 175; ++y)
            for (int x = 290; x < 310; ++x)
                changed += frame.pixel(x, y) != picture.pixel(x, y);
        EXPECT_EQ(changed > 10, slot == 1) << "slot " << slot << ": " << changed;
    }

    program.start(NUBIVISTA_APP_DIR "/nubivista", {"--set", "Storm"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 2);
}

} // namespace
} // namespace nubivista::app
