#include "display/overlay_painter.h"

namespace nubivista::display {

OverlayPainter::OverlayPainter(QPainter& painter, bool anyMarks, const QRectF& target,
                               QSize pictureSize, const QRectF& clip, bool smooth, double pointSize)
    : painter_(painter) {
    if (!anyMarks || pictureSize.isEmpty())
        return;
    const QRectF area = target.intersected(clip);
    if (area.isEmpty())
        return;
    area_ = area;
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    QFont font = painter.font();
    font.setPointSizeF(pointSize);
    font.setBold(true);
    if (!smooth)
        font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
}

OverlayPainter::~OverlayPainter() {
    if (area_)
        painter_.restore();
}

} // namespace nubivista::display
