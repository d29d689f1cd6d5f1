#include "display/warning_marks.h"

#include "display/overlay_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace nubivista::display {

namespace {

// The weather service's warning colours, by kind.
struct KindColour {
    const char* event;
    QColor colour;
};
const KindColour kWarningColours[] = {
    {"Tornado Warning", QColor(255, 0, 0)},
    {"Severe Thunderstorm Warning", QColor(255, 165, 0)},
    {"Flash Flood Warning", QColor(139, 0, 0)},
    {"Special Marine Warning", QColor(255, 165, 0)},
    {"Extreme Wind Warning", QColor(255, 140, 0)},
    {"Snow Squall Warning", QColor(199, 21, 133)},
    {"Dust Storm Warning", QColor(255, 228, 196)},
};
const QColor kOtherWarning(160, 160, 160);

QPolygonF inView(const QPolygonF& outline, const QRectF& target, QSize pictureSize) {
    const double sx = target.width() / pictureSize.width();
    const double sy = target.height() / pictureSize.height();
    QPolygonF mapped;
    mapped.reserve(outline.size());
    for (const QPointF& p : outline)
        mapped << QPointF(target.left() + p.x() * sx, target.top() + p.y() * sy);
    return mapped;
}

} // namespace

QColor warningColour(const QString& event) {
    for (const KindColour& kind : kWarningColours)
        if (event == QLatin1String(kind.event))
            return kind.colour;
    return kOtherWarning;
}

void paintWarningMarks(QPainter& painter, const std::vector<WarningMark>& marks,
                       const QRectF& target, QSize pictureSize, const QRectF& clip, bool smooth) {
    const OverlayPainter scope(painter, !marks.empty(), target, pictureSize, clip, smooth, 7.5);
    if (!scope.active())
        return;
    const QRectF& area = scope.area();
    const QFontMetricsF metrics(painter.font());
    painter.setBrush(Qt::NoBrush);
    for (const WarningMark& mark : marks) {
        const QPolygonF outline = inView(mark.outline, target, pictureSize);
        const QRectF bounds = outline.boundingRect();
        if (!bounds.adjusted(-2, -20, 200, 2).intersects(area))
            continue;
        // A dark line under the colour reads on every radar colour.
        painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
        painter.drawPolygon(outline);
        painter.setPen(QPen(mark.colour, 2, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
        painter.drawPolygon(outline);
        // The label on a dark box above the polygon's top left.
        const QRectF box(bounds.left(), bounds.top() - metrics.height() - 3,
                         metrics.horizontalAdvance(mark.label) + 6, metrics.height() + 2);
        painter.fillRect(box, QColor(0, 0, 0, smooth ? 170 : 255));
        painter.setPen(mark.colour);
        painter.drawText(box, Qt::AlignCenter, mark.label);
    }
}

const WarningMark* warningMarkAt(const std::vector<WarningMark>& marks, const QRectF& target,
                                 QSize pictureSize, QPointF point) {
    if (pictureSize.isEmpty() || !target.contains(point))
        return nullptr;
    for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark)
        if (inView(mark->outline, target, pictureSize).containsPoint(point, Qt::OddEvenFill))
            return &*mark;
    return nullptr;
}

} // namespace nubivista::display
