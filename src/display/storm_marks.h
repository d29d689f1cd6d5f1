#pragma once
// The radar's storm cells over the picture: where each cell was, where it is
// and where the radar expects it in 15 to 60 minutes, with its hail,
// mesocyclone and tornado vortex signs. Drawn from plain values in the
// picture's own pixels, only over the picture, at a fixed size whatever the
// zoom, so that a symbol stays readable.
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace nubivista::display {

struct StormMark {
    enum class Hail {
        None,
        Likely, // a hail probability of 50 % or more: a hollow triangle
        Severe, // a severe hail probability of 50 % or more: a filled one
    };

    QString id;
    QPointF at;                                  // picture pixels at zoom 1
    std::vector<QPointF> past;                   // newest first
    std::array<std::optional<QPointF>, 4> ahead; // 15, 30, 45 and 60 minutes
    Hail hail = Hail::None;
    bool mesocyclone = false;
    bool tvs = false;
    QString details; // the hover text

    bool operator==(const StormMark&) const = default;
};

// The marks of one image; shared, so that a loop step only hands a pointer on.
using StormMarks = std::shared_ptr<const std::vector<StormMark>>;

// Paints the marks over a picture of pictureSize pixels shown in target (view
// pixels), inside clip only.
void paintStormMarks(QPainter& painter, const std::vector<StormMark>& marks, const QRectF& target,
                     QSize pictureSize, const QRectF& clip, bool smooth = true);

// The mark whose current position lies within reach (view pixels) of point
// (view pixels), the nearest one; none when no cell is that close.
const StormMark* stormMarkNear(const std::vector<StormMark>& marks, const QRectF& target,
                               QSize pictureSize, QPointF point, double reach);

} // namespace nubivista::display
