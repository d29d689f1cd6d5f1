#include "display/storm_marks.h"

#include "display/overlay_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <map>

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
void outlinedPath(QPainter& painter, const QPainterPath& path, const QColor& colour, double width) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kStyle.outline, width + 2, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    painter.drawPath(path);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    painter.drawPath(path);
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

void drawCellSymbols(QPainter& painter, const StormMark& mark, QPointF now) {
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
}

// The symbols and labels, each drawn once into a small image and then only
// copied: a loop step shows dozens of cells, and drawing every circle,
// triangle and outlined label afresh would cost more than the picture.
class Sprites {
public:
    const QImage& cell(const QPainter& painter, const StormMark& mark, bool smooth) {
        const QString key = QStringLiteral("cell/%1/%2/%3")
                                .arg(int(mark.hail))
                                .arg(int(mark.mesocyclone))
                                .arg(int(mark.tvs));
        return find(painter, key, smooth, QSizeF(44, 44),
                    [&mark](QPainter& p, QPointF centre) { drawCellSymbols(p, mark, centre); });
    }
    const QImage& pastDot(const QPainter& painter, bool smooth) {
        return find(painter, QStringLiteral("dot"), smooth, QSizeF(8, 8),
                    [](QPainter& p, QPointF c) {
                        p.setPen(QPen(kStyle.outline, 1));
                        p.setBrush(kStyle.track);
                        p.drawEllipse(c, kStyle.pastDot, kStyle.pastDot);
                    });
    }
    const QImage& label(const QPainter& painter, const QString& text, const QColor& colour,
                        bool smooth) {
        const QFontMetricsF metrics(painter.font());
        const QSizeF size(metrics.horizontalAdvance(text) + 4, metrics.height() + 4);
        return find(painter,
                    QStringLiteral("text/%1/%2/%3").arg(text, colour.name(), painter.font().key()),
                    smooth, size, [&](QPainter& p, QPointF centre) {
                        p.setFont(painter.font());
                        outlinedText(p, centre, text, colour);
                    });
    }

    // Copies sprite so that its centre falls on centre.
    static void put(QPainter& painter, const QImage& sprite, QPointF centre) {
        const QSizeF size = QSizeF(sprite.size()) / sprite.devicePixelRatio();
        painter.drawImage(QPointF(std::round(centre.x() - size.width() / 2),
                                  std::round(centre.y() - size.height() / 2)),
                          sprite);
    }

private:
    template <typename Draw>
    const QImage& find(const QPainter& painter, const QString& name, bool smooth, QSizeF size,
                       Draw draw) {
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        const QString key = name + QStringLiteral("/%1/%2").arg(int(smooth)).arg(ratio);
        if (const auto found = images_.find(key); found != images_.end())
            return found->second;
        // Whole pixels around an odd centre, so that the centre is a pixel's.
        const QSize pixels((int(std::ceil(size.width() * ratio)) | 1),
                           (int(std::ceil(size.height() * ratio)) | 1));
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing, smooth);
            p.setRenderHint(QPainter::TextAntialiasing, smooth);
            draw(p, QPointF(pixels.width(), pixels.height()) / (2 * ratio));
        }
        // A program runs for hours: a bound on what is kept.
        if (images_.size() > 2000)
            images_.clear();
        return images_.emplace(key, std::move(image)).first->second;
    }

    std::map<QString, QImage> images_;
};

// Each thread its own: the GIF export paints on a thread of its own.
Sprites& sprites() {
    thread_local Sprites kept;
    return kept;
}

void paintTrack(QPainter& painter, const StormMark& mark, const Mapping& map, bool smooth) {
    const QPointF now = map(mark.at);
    if (!mark.past.empty()) {
        QPainterPath past(now);
        for (const QPointF& pixel : mark.past)
            past.lineTo(map(pixel));
        outlinedPath(painter, past, kStyle.track, 1);
        const QImage& dot = sprites().pastDot(painter, smooth);
        for (const QPointF& pixel : mark.past)
            Sprites::put(painter, dot, map(pixel));
    }

    // The forecast line and its ticks, stroked as one.
    QPainterPath ahead(now);
    QPointF from = now;
    std::vector<std::pair<QPointF, int>> labels;
    for (std::size_t i = 0; i < mark.ahead.size(); ++i) {
        // The radar forecasts no further than its first missing slot.
        if (!mark.ahead[i])
            break;
        const QPointF at = map(*mark.ahead[i]);
        QPointF along = at - from;
        const double length = std::hypot(along.x(), along.y());
        from = at;
        ahead.lineTo(at);
        if (length < 1e-6)
            continue;
        along /= length;
        const QPointF across(-along.y(), along.x());
        ahead.moveTo(at - across * kStyle.tick);
        ahead.lineTo(at + across * kStyle.tick);
        ahead.moveTo(at);
        // The minutes beside the tick, on the side away from the cell's id.
        labels.emplace_back(at + across * (kStyle.tick + 7), kMinutesAhead[i]);
    }
    if (ahead.elementCount() < 2)
        return;
    outlinedPath(painter, ahead, kStyle.ahead, 1.5);
    for (const auto& [at, minutes] : labels)
        Sprites::put(painter,
                     sprites().label(painter, QString::number(minutes), kStyle.ahead, smooth), at);
}

void paintCell(QPainter& painter, const StormMark& mark, const Mapping& map, bool smooth) {
    const QPointF now = map(mark.at);
    Sprites::put(painter, sprites().cell(painter, mark, smooth), now);
    // The id behind the cell, where its forecast line does not run.
    const QPointF back = -headingOf(mark, map).value_or(QPointF(-0.7, -0.7));
    Sprites::put(painter, sprites().label(painter, mark.id, kStyle.track, smooth),
                 now + back * (kStyle.cellRadius + 9));
}

} // namespace

void paintStormMarks(QPainter& painter, const std::vector<StormMark>& marks, const QRectF& target,
                     QSize pictureSize, const QRectF& clip, bool smooth) {
    const OverlayPainter scope(painter, !marks.empty(), target, pictureSize, clip, smooth, 7.5);
    if (!scope.active())
        return;
    const QRectF& area = scope.area();
    const Mapping map = mappingFor(target, pictureSize);
    const QRectF near = area.adjusted(-kReach, -kReach, kReach, kReach);
    // Tracks first, so that no line crosses a cell's symbols.
    for (const StormMark& mark : marks)
        if (near.contains(map(mark.at)))
            paintTrack(painter, mark, map, smooth);
    for (const StormMark& mark : marks)
        if (near.contains(map(mark.at)))
            paintCell(painter, mark, map, smooth);
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
