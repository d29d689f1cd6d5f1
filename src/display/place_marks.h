#pragma once
// The watcher's places over the radar picture: a small dot and the place's
// name where each falls on the picture, drawn only over the picture and
// following its zoom and scrolling.
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <vector>

class QPainter;

namespace nubivista::display {

struct PlaceMark {
    QString name;
    QPointF pixel; // in the picture's own pixels (at zoom 1)

    bool operator==(const PlaceMark&) const = default;
};

// Paints the marks over a picture of pictureSize pixels shown in target (view
// pixels), inside clip only.
void paintPlaceMarks(QPainter& painter, const std::vector<PlaceMark>& marks, const QRectF& target,
                     QSize pictureSize, const QRectF& clip, bool smooth = true);

} // namespace nubivista::display
