#pragma once
// The weather service's warnings over the picture: each polygon outlined in
// the service's own colour for its kind, with a small label of its kind and
// expiry, drawn from plain values in the picture's own pixels.
#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

namespace nubivista::display {

struct WarningMark {
    QPolygonF outline; // picture pixels at zoom 1
    QColor colour;
    QString label;    // "Tornado Warning until 21:45"
    QString headline; // the hover text

    bool operator==(const WarningMark&) const = default;
};

using WarningMarks = std::shared_ptr<const std::vector<WarningMark>>;

// The weather service's colour of a warning's kind ("Tornado Warning" red);
// grey for a kind it has none for here.
QColor warningColour(const QString& event);

void paintWarningMarks(QPainter& painter, const std::vector<WarningMark>& marks,
                       const QRectF& target, QSize pictureSize, const QRectF& clip,
                       bool smooth = true);

// The warning under point (view pixels): the last drawn, so the one on top.
const WarningMark* warningMarkAt(const std::vector<WarningMark>& marks, const QRectF& target,
                                 QSize pictureSize, QPointF point);

} // namespace nubivista::display
