#pragma once
// The loop as an animated GIF file: the frames it plays (tabs in loop order,
// checked skip boxes left out, rock played up and back), each picture at the
// zoom with its time stamped in the form the time box shows, and the writing
// of the file, which either completes or leaves nothing behind.
#include "core/clock.h"
#include "display/loop_sequence.h"
#include "display/picture_overlay.h"
#include "sets/slot_model.h"

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace nubivista::display {

// Larger zooms would only make the file bigger, not the radar sharper.
inline constexpr double kMaxGifZoom = 2.0;
inline constexpr char kGifFilter[] = "Animated GIF (*.gif)";

// How the window plays the loop at the moment of the export.
struct LoopGifLook {
    LoopDelays delays;
    bool rockMode = false;
    double zoom = 1.0;
    int timeDisplayMode = 0; // kTimeUtc, kTimeLocal24 or kTimeLocalAmPm
};

struct LoopGifFrame {
    QImage picture; // the slot's picture as stored (a null one plays as black)
    QImage stamp;   // the time stamp, drawn; null when the slot has no time
    int delayMs = 0;
    PictureOverlay overlay; // drawn over the picture as the view draws it
};

// Everything the writing needs, gathered on the window's thread; the pictures
// are shared, not copied, and nothing in here changes when the loop does.
struct LoopGifJob {
    QSize canvas; // the newest picture's size at the zoom
    double scale = 1;
    std::vector<LoopGifFrame> frames;
};

// The frames of one lap of the loop. pictureOf gives a slot's picture,
// overlayOf (when set) what the view draws over it. Empty frames when fewer
// than two images would play.
LoopGifJob loopGifJob(const sets::SlotModel& model,
                      const std::function<QImage(int slot)>& pictureOf, const TabFlags& skipped,
                      const LoopGifLook& look, const core::Clock& clock,
                      const OverlayOfSlot& overlayOf = {});

// The stamp for a time text at a zoom: white on a black box. Needs the GUI
// application (fonts).
QImage timeStampImage(const QString& text, double scale);
// Where a stamp goes: over the spot where the radar picture prints its own
// time, moved inside the frame when the frame is narrower.
QPoint timeStampPosition(QSize canvas, double scale, QSize stamp);

// Frame index of job: the picture scaled to the canvas (nearest pixel, as the
// view shows it) with its stamp.
QImage loopGifFrame(const LoopGifJob& job, int index);

struct LoopGifOutcome {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Failed;
    QString error; // the text to show, when Failed
    qint64 bytes = 0;
};

// Writes job to path through a temporary file in the same folder that takes
// the name only when complete; a cancel or a failure removes it again, and an
// existing file at path stays as it was. keepGoing is asked before each frame.
LoopGifOutcome writeLoopGif(const LoopGifJob& job, const QString& path,
                            const std::function<bool(int done, int total)>& keepGoing = {});

} // namespace nubivista::display
