#pragma once
// What every mark drawn over the picture shares: the painter clipped to the
// part of the picture being painted, smoothed or not (the GIF export keeps
// its frames to a small palette), with the marks' small bold font; put back
// as it was when the scope ends.
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <optional>

namespace nubivista::display {

class OverlayPainter {
public:
    // Nothing to paint when the marks are empty or the picture's target
    // does not meet clip: active() is false then and the painter untouched.
    OverlayPainter(QPainter& painter, bool anyMarks, const QRectF& target, QSize pictureSize,
                   const QRectF& clip, bool smooth, double pointSize);
    ~OverlayPainter();
    OverlayPainter(const OverlayPainter&) = delete;
    OverlayPainter& operator=(const OverlayPainter&) = delete;

    bool active() const { return area_.has_value(); }
    // The target met with clip, in view pixels.
    const QRectF& area() const { return *area_; }

private:
    QPainter& painter_;
    std::optional<QRectF> area_;
};

} // namespace nubivista::display
