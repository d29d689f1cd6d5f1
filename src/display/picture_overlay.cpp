#include "display/picture_overlay.h"

namespace nubivista::display {

void paintPictureOverlay(QPainter& painter, const PictureOverlay& overlay, const QRectF& target,
                         QSize pictureSize, const QRectF& clip, bool smooth) {
    if (overlay.warnings)
        paintWarningMarks(painter, *overlay.warnings, target, pictureSize, clip, smooth);
    // Places over the cells: a watcher's own marks are never hidden.
    if (overlay.storms)
        paintStormMarks(painter, *overlay.storms, target, pictureSize, clip, smooth);
    paintPlaceMarks(painter, overlay.places, target, pictureSize, clip, smooth);
}

} // namespace nubivista::display
