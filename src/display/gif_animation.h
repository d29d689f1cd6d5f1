#pragma once
// Writing an animated GIF that loops forever. Frames that share one set of at
// most 255 colours get one global palette, and every frame after the first
// is stored as the rectangle that changed, with the unchanged pixels in it
// transparent: a radar loop's map stays put while the echoes move, so most
// of each frame costs nothing. Frames with more colours are reduced to 256
// each by Qt and stored whole.
#include <QIODevice>
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace nubivista::display {

// Frame i (0-based) of the animation, at the canvas size. Asked for twice: once
// to gather the colours, once to write.
using AnimationFrameSource = std::function<QImage(int index)>;
// Asked before each frame is worked on; false ends the writing early.
using AnimationKeepGoing = std::function<bool(int framesWritten, int frameCount)>;

struct AnimationWrite {
    enum class Status { Written, Stopped, Failed };
    Status status = Status::Failed;
    QString error;              // what failed, when Failed
    bool globalPalette = false; // the frames shared one palette
};

// Writes the frames to out with their delays (ms; GIF keeps hundredths, and
// at least 2 of them, since viewers slow anything shorter to a tenth). A failed write of the device
// is reported with the device's own reason; nothing is written after it.
AnimationWrite writeAnimatedGif(QIODevice& out, QSize canvas, const std::vector<int>& delaysMs,
                                const AnimationFrameSource& frame,
                                const AnimationKeepGoing& keepGoing = {});

} // namespace nubivista::display
