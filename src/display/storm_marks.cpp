#include "display/storm_marks.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace nubivista::display {

namespace {

// One table for the look of every storm symbol: light symbols over a dark
// outline read on every radar colour.
struct StormStyle {
    QColor outline{Qt::black};
    QColor track{Qt::white};
    QColor ahead{QColor(0, 255, 255)};
    QColor hail{QColor(0, 255, 0)};
    QColor mesocyclone{QColor(255, 255, 0)};
    QColor tvs{QColor(255, 0, 0)};
    double cellRadius = 5;
    double pastDot = 1.8;
    double tick = 4;
    double mesocycloneRadius = 10;
    double triangle = 6;
};
const StormStyle kStyle;

const QPointF kOutline[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
constexpr int kMinutesAhead[] = {15, 30, 45, 60};
// Room a cell's symbols and its forecast may take around it, to skip cells
// far from the area being painted.
constexpr double kReach = 160;

struct Mapping {
    QRectF target;
    double sx = 1;
    double sy = 1;

    QPointF operator()(QPointF pixel) const {
        return {target.left() + pixel.x() * sx, target.top() + pixel.y() * sy};
    }
};

Mapping mappingFor(const QRectF& target, QSize pictureSize) {
    return {target, target.width() / pictureSize.width(), target.height() / pictureSize.height()};
}

// A line drawn twice: wide and dark, then narrow in its colour.
void outlinedPolyline(QPainter& painter, const QPolygonF& line, const QColor& colour,
                      double width) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kStyle.outline, width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
}

// Text centred on a point, light over a dark outline.
void outlinedText(QPainter& painter, QPointF centre, const QString& text, const QColor& colour) {
    const QFontMetricsF metrics(painter.font());
    const QPointF at = centre + QPointF(-metrics.horizontalAdvance(text) / 2,
                                        (metrics.ascent() - metrics.descent()) / 2);
    painter.setPen(kStyle.outline);
    for (const QPointF& offset : kOutline)
        painter.drawText(at + offset, text);
    painter.setPen(colour);
    painter.drawText(at, text);
}

// The unit vector from a cell towards its first forecast point; none for a
// cell without one.
std::optional<QPointF> headingOf(const StormMark& mark, const Mapping& map) {
    if (!mark.ahead[0])
        return std::nullopt;
    const QPointF along = map(*mark.ahead[0]) - map(mark.at);
    const double length = std::hypot(along.x(), along.y());
    if (length < 1e-6)
        return std::nullopt;
    return along / length;
}

// A triangle of side about size around centre, pointing up or down.
QPolygonF triangle(QPointF centre, double size, bool pointingDown) {
    const double h = size * 0.87;
    const double tip = pointingDown ? h / 2 : -h / 2;
    return QPolygonF({centre + QPointF(0, tip), centre + QPointF(-size / 2, -tip),
                      centre + QPointF(size / 2, -tip), centre + QPointF(0, tip)});
}

void paintTrack(QPainter& painter, const StormMark& mark, const Mapping& map) {
    const QPointF now = map(mark.at);
    if (!mark.past.empty()) {
        QPolygonF line{now};
        for (const QPointF& pixel : mark.past)
            line << map(pixel);
        outlinedPolyline(painter, line, kStyle.track, 1);
        painter.setPen(QPen(kStyle.outline, 1));
        painter.setBrush(kStyle.track);
        for (std::size_t i = 1; i < static_cast<std::size_t>(line.size()); ++i)
            painter.drawEllipse(line[static_cast<qsizetype>(i)], kStyle.pastDot, kStyle.pastDot);
    }

    QPolygonF line{now};
    std::vector<std::pair<QPointF, int>> ticks;
    for (std::size_t i = 0; i < mark.ahead.size(); ++i) {
        // The radar forecasts no further than its first missing slot.
        if (!mark.ahead[i])
            break;
        line << map(*mark.ahead[i]);
        ticks.emplace_back(line.back(), kMinutesAhead[i]);
    }
    if (line.size() < 2)
        return;
    outlinedPolyline(painter, line, kStyle.ahead, 1.5);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const QPointF at = ticks[i].first;
        const QPointF from = line[static_cast<qsizetype>(i)];
        QPointF along = at - from;
        const double length = std::hypot(along.x(), along.y());
        if (length < 1e-6)
            continue;
        along /= length;
        const QPointF across(-along.y(), along.x());
        outlinedPolyline(painter,
                         QPolygonF({at - across * kStyle.tick, at + across * kStyle.tick}),
                         kStyle.ahead, 1.5);
        // The minutes beside the tick, on the side away from the cell's id.
        outlinedText(painter, at + across * (kStyle.tick + 7), QString::number(ticks[i].second),
                     kStyle.ahead);
    }
}

void paintCell(QPainter& painter, const StormMark& mark, const Mapping& map) {
    const QPointF now = map(mark.at);
    if (mark.mesocyclone) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kStyle.outline, 4));
        painter.drawEllipse(now, kStyle.mesocycloneRadius, kStyle.mesocycloneRadius);
        painter.setPen(QPen(kStyle.mesocyclone, 2));
        painter.drawEllipse(now, kStyle.mesocycloneRadius, kStyle.mesocycloneRadius);
    }
    painter.setPen(QPen(kStyle.outline, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(now, kStyle.cellRadius, kStyle.cellRadius);
    painter.setPen(QPen(kStyle.track, 1.5));
    painter.drawEllipse(now, kStyle.cellRadius, kStyle.cellRadius);

    if (mark.hail != StormMark::Hail::None) {
        const QPolygonF shape = triangle(
            now + QPointF(-kStyle.cellRadius - 6, -kStyle.cellRadius - 4), kStyle.triangle, false);
        painter.setPen(QPen(kStyle.outline, 1));
        painter.setBrush(mark.hail == StormMark::Hail::Severe ? QBrush(kStyle.hail) : Qt::NoBrush);
        if (mark.hail == StormMark::Hail::Likely) {
            painter.setPen(QPen(kStyle.outline, 3));
            painter.drawPolygon(shape);
            painter.setPen(QPen(kStyle.hail, 1.5));
        }
        painter.drawPolygon(shape);
    }
    if (mark.tvs) {
        painter.setPen(QPen(kStyle.outline, 1));
        painter.setBrush(kStyle.tvs);
        painter.drawPolygon(
            triangle(now + QPointF(0, -kStyle.cellRadius - 7), kStyle.triangle + 3, true));
    }
    // The id behind the cell, where its forecast line does not run.
    const QPointF back = -headingOf(mark, map).value_or(QPointF(-0.7, -0.7));
    outlinedText(painter, now + back * (kStyle.cellRadius + 9), mark.id, kStyle.track);
}

} // namespace

void paintStormMarks(QPainter& painter, const std::vector<StormMark>& marks, const QRectF& target,
                     QSize pictureSize, const QRectF& clip, bool smooth) {
    if (marks.empty() || pictureSize.isEmpty())
        return;
    const QRectF area = target.intersected(clip);
    if (area.isEmpty())
        return;
    const Mapping map = mappingFor(target, pictureSize);
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    QFont font = painter.font();
    font.setPointSizeF(7.5);
    font.setBold(true);
    if (!smooth)
        font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    const QRectF near = area.adjusted(-kReach, -kReach, kReach, kReach);
    // Tracks first, so that no line crosses a cell's symbols.
    for (const StormMark& mark : marks)
        if (near.contains(map(mark.at)))
            paintTrack(painter, mark, map);
    for (const StormMark& mark : marks)
        if (near.contains(map(mark.at)))
            paintCell(painter, mark, map);
    painter.restore();
}

const StormMark* stormMarkNear(const std::vector<StormMark>& marks, const QRectF& target,
                               QSize pictureSize, QPointF point, double reach) {
    if (pictureSize.isEmpty() || !target.contains(point))
        return nullptr;
    const Mapping map = mappingFor(target, pictureSize);
    const StormMark* nearest = nullptr;
    double best = reach;
    for (const StormMark& mark : marks) {
        const QPointF apart = map(mark.at) - point;
        const double distance = std::hypot(apart.x(), apart.y());
        if (distance <= best) {
            best = distance;
            nearest = &mark;
        }
    }
    return nearest;
}

} // namespace nubivista::display
