#pragma once
// Everything drawn over one image's picture: the warnings in force at its
// scan, the radar's storm cells and the watcher's places. The view draws it, and so does the GIF
// export, so that a file shows what the window shows.
#include "display/place_marks.h"
#include "display/storm_marks.h"
#include "display/warning_marks.h"

#include <functional>

namespace nubivista::display {

struct PictureOverlay {
    StormMarks storms;     // none: no storm cells drawn
    WarningMarks warnings; // none: no warnings drawn
    std::vector<PlaceMark> places;
};

// The overlay of a slot's image.
using OverlayOfSlot = std::function<PictureOverlay(int slot)>;

// Paints the overlay over a picture of pictureSize pixels shown in target.
void paintPictureOverlay(QPainter& painter, const PictureOverlay& overlay, const QRectF& target,
                         QSize pictureSize, const QRectF& clip, bool smooth = true);

} // namespace nubivista::display
