#include "display/place_marks.h"

#include "display/overlay_painter.h"

#include <QPainter>

namespace nubivista::display {

namespace {

constexpr double kDotRadius = 3.0;
// Room a label may take to the right of its dot, to skip marks far from clip.
constexpr double kLabelReach = 300;
const QPointF kOutline[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

} // namespace

void paintPlaceMarks(QPainter& painter, const std::vector<PlaceMark>& marks, const QRectF& target,
                     QSize pictureSize, const QRectF& clip, bool smooth) {
    const OverlayPainter scope(painter, !marks.empty(), target, pictureSize, clip, smooth, 8);
    if (!scope.active())
        return;
    const QRectF& area = scope.area();
    const double sx = target.width() / pictureSize.width();
    const double sy = target.height() / pictureSize.height();
    for (const PlaceMark& mark : marks) {
        const QPointF at(target.left() + mark.pixel.x() * sx, target.top() + mark.pixel.y() * sy);
        if (!target.contains(at))
            continue;
        if (!QRectF(at.x() - 2 * kDotRadius, at.y() - 16, kLabelReach, 32).intersects(area))
            continue;
        // Dark under bright reads on every radar colour.
        painter.setPen(QPen(Qt::black, 1.5));
        painter.setBrush(Qt::white);
        painter.drawEllipse(at, kDotRadius, kDotRadius);
        const QPointF text = at + QPointF(kDotRadius + 3, kDotRadius + 1);
        painter.setPen(Qt::black);
        for (const QPointF& offset : kOutline)
            painter.drawText(text + offset, mark.name);
        painter.setPen(Qt::white);
        painter.drawText(text, mark.name);
    }
}

} // namespace nubivista::display
