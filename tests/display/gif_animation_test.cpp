// The animated GIF writer on its own: what goes in comes back out of Qt's
// reader, whether the frames share a palette or not, and a device that fails
// is reported, not passed as a whole file.
#include "display/gif_animation.h"
#include "support/fail_device.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace nubivista;

namespace {

std::vector<QImage> readBack(QByteArray bytes, std::vector<int>* delays = nullptr) {
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    std::vector<QImage> frames;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        if (delays)
            delays->push_back(reader.nextImageDelay());
        frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    }
    return frames;
}

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(GifAnimation, FewColoursShareAPaletteAndComeBackExactlyEvenWhenAFrameRepeats) {
    const QSize canvas(40, 30);
    std::vector<QImage> frames{filled(canvas, Qt::black), filled(canvas, Qt::black),
                               filled(canvas, Qt::black), filled(canvas, Qt::blue)};
    frames[2].setPixel(39, 29, qRgb(255, 0, 0)); // the last pixel alone changes
    frames[3].setPixel(0, 0, qRgb(0, 255, 0));
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    const display::AnimationWrite written = display::writeAnimatedGif(
        out, canvas, {10, 20, 30, 2000}, [&frames](int i) { return frames[i]; });
    ASSERT_EQ(written.status, display::AnimationWrite::Status::Written)
        << written.error.toStdString();
    EXPECT_TRUE(written.globalPalette);
    std::vector<int> delays;
    EXPECT_EQ(readBack(bytes, &delays), frames);
    // 10 ms cannot be kept: viewers would play it as 100 ms, so it becomes 20.
    EXPECT_EQ(delays, (std::vector<int>{20, 20, 30, 2000}));
}

TEST(GifAnimation, FramesOfManyColoursEachKeepTheirOwnPalette) {
    // 200 colours a frame, 400 in all: more than one palette holds.
    const QSize canvas(20, 10);
    std::vector<QImage> frames{QImage(canvas, QImage::Format_RGB32),
                               QImage(canvas, QImage::Format_RGB32)};
    for (int i = 0; i < 200; ++i) {
        frames[0].setPixel(i % 20, i / 20, qRgb(i, 0, 255 - i));
        frames[1].setPixel(i % 20, i / 20, qRgb(0, i, 255 - i));
    }
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    const display::AnimationWrite written =
        display::writeAnimatedGif(out, canvas, {100, 100}, [&frames](int i) { return frames[i]; });
    ASSERT_EQ(written.status, display::AnimationWrite::Status::Written);
    EXPECT_FALSE(written.globalPalette);
    EXPECT_EQ(readBack(bytes), frames);
}

TEST(GifAnimation, AFailingDeviceOrAStopIsToldAndNotCalledWritten) {
    const QSize canvas(300, 200);
    QImage noise(canvas, QImage::Format_RGB32);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7 + y * 13) % 200, 0, 0));
    nubivista::testing::FailDevice device(1000);
    device.open(QIODevice::WriteOnly);
    const display::AnimationWrite failed =
        display::writeAnimatedGif(device, canvas, {100, 100}, [&noise](int) { return noise; });
    EXPECT_EQ(failed.status, display::AnimationWrite::Status::Failed);
    EXPECT_FALSE(failed.error.isEmpty());

    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    const display::AnimationWrite stopped = display::writeAnimatedGif(
        out, canvas, {100, 100, 100}, [&noise](int) { return noise; },
        [](int done, int) { return done < 1; });
    EXPECT_EQ(stopped.status, display::AnimationWrite::Status::Stopped);

    // No frames, or no picture to put in them: told, and nothing is written.
    QByteArray none;
    QBuffer empty(&none);
    empty.open(QIODevice::WriteOnly);
    const auto frame = [&noise](int) { return noise; };
    EXPECT_EQ(display::writeAnimatedGif(empty, canvas, {}, frame).status,
              display::AnimationWrite::Status::Failed);
    EXPECT_EQ(display::writeAnimatedGif(empty, QSize(0, 200), {100}, frame).status,
              display::AnimationWrite::Status::Failed);
    EXPECT_TRUE(none.isEmpty());
}

} // namespace
