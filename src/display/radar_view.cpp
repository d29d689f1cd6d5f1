#include "display/radar_view.h"

#include "display/picture_overlay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QtMath>
#include <algorithm>

namespace nubivista::display {

namespace {
constexpr int kMarkerSizePx = 11;
}

MarkerWidget::MarkerWidget(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setObjectName(QStringLiteral("Image2_%1").arg(index));
    setFixedSize(kMarkerSizePx, kMarkerSizePx);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::CrossCursor);
    hide();
}

void MarkerWidget::placeCentreAt(double xTwips, double yTwips) {
    move(toPixels(xTwips) - width() / 2, toPixels(yTwips) - height() / 2);
}

void MarkerWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The measurement sizes the markers with the zoom.
    const int side = std::min(width(), height());
    const int mid = side / 2;
    // A dark outline under a bright cross reads on every radar colour.
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(mid, 0, mid, side - 1);
    p.drawLine(0, mid, side - 1, mid);
    static const QColor kColours[] = {Qt::white, Qt::white, Qt::cyan, Qt::magenta};
    p.setPen(QPen(kColours[index_ & 3], 1));
    p.drawLine(mid, 0, mid, side - 1);
    p.drawLine(0, mid, side - 1, mid);
}

void MarkerWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position() * kTwipsPerPixel;
    emit mouseDown(index_, event->button(), event->modifiers(), at);
    event->accept();
}

RadarView::RadarView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    // For the storm cells' hover details.
    setMouseTracking(true);
    for (int i = 1; i <= 3; ++i)
        markers_[i] = new MarkerWidget(i, this);
}

void RadarView::setPicture(const QImage& picture) {
    if (picture.cacheKey() == picture_.cacheKey() && picture.isNull() == picture_.isNull())
        return;
    picture_ = picture;
    // Around the picture the view stays black whatever it shows, so only the
    // picture's own part of the view is painted again (the line between
    // measured points may reach beyond it).
    const QRect target(
        qFloor(geometry_.left / kTwipsPerPixel), qFloor(geometry_.top / kTwipsPerPixel),
        qCeil(geometry_.width / kTwipsPerPixel) + 1, qCeil(geometry_.height / kTwipsPerPixel) + 1);
    if (lineVisible_)
        update();
    else
        update(target.intersected(rect()));
}

void RadarView::setPictureGeometry(const TwipsRect& geometry) {
    if (geometry == geometry_)
        return;
    geometry_ = geometry;
    update();
}

void RadarView::setLine(const QLineF& twips) {
    line_ = twips;
    if (lineVisible_)
        update();
}

void RadarView::setLineWidth(int pixels) {
    if (pixels == lineWidth_)
        return;
    lineWidth_ = pixels;
    if (lineVisible_)
        update();
}

void RadarView::setLineVisible(bool visible) {
    if (visible == lineVisible_)
        return;
    lineVisible_ = visible;
    update();
}

void RadarView::setPlaceMarks(std::vector<PlaceMark> marks) {
    if (marks == placeMarks_)
        return;
    placeMarks_ = std::move(marks);
    update();
}

namespace {

// Takes the new marks; true when they draw differently from the kept ones.
template <typename Marks> bool replaceMarks(Marks& kept, Marks marks) {
    const bool same = marks == kept || (marks && kept && *marks == *kept);
    kept = std::move(marks);
    return !same;
}

} // namespace

void RadarView::setStormMarks(StormMarks marks) {
    if (replaceMarks(stormMarks_, std::move(marks)))
        updatePicture();
}

void RadarView::setWarningMarks(WarningMarks marks) {
    if (replaceMarks(warningMarks_, std::move(marks)))
        updatePicture();
}

void RadarView::updatePicture() {
    // The marks lie on the picture: only its part of the view changes.
    update(pictureTarget().toAlignedRect().adjusted(-1, -1, 1, 1).intersected(rect()));
}

QRectF RadarView::pictureTarget() const {
    return QRectF(geometry_.left / kTwipsPerPixel, geometry_.top / kTwipsPerPixel,
                  geometry_.width / kTwipsPerPixel, geometry_.height / kTwipsPerPixel);
}

MarkerWidget* RadarView::marker(int index) const {
    return index >= 1 && index <= 3 ? markers_[index] : nullptr;
}

void RadarView::hideMarks() {
    for (int i = 1; i <= 3; ++i)
        markers_[i]->hide();
    setLineVisible(false);
}

void RadarView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRectF target = pictureTarget();
    // Black where no picture covers the view; the whole pixels under the
    // (opaque) picture are not filled first only to be drawn over.
    QRegion black(event->rect());
    if (!picture_.isNull() && !picture_.hasAlphaChannel()) {
        const QRect covered(QPoint(qCeil(target.left()), qCeil(target.top())),
                            QPoint(qFloor(target.right()) - 1, qFloor(target.bottom()) - 1));
        if (covered.isValid())
            black -= covered;
    }
    for (const QRect& r : black)
        p.fillRect(r, Qt::black);
    if (!picture_.isNull()) {
        // Nearest-neighbour: only the part of the picture that is exposed is
        // scaled, so the cost follows the view's size, not the zoom.
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        const QRectF exposed = target.intersected(QRectF(event->rect()));
        if (!exposed.isEmpty() && target.width() > 0 && target.height() > 0) {
            const double sx = picture_.width() / target.width();
            const double sy = picture_.height() / target.height();
            const QRectF source((exposed.left() - target.left()) * sx,
                                (exposed.top() - target.top()) * sy, exposed.width() * sx,
                                exposed.height() * sy);
            p.drawImage(exposed, picture_, source);
        }
        paintPictureOverlay(p, {stormMarks_, warningMarks_, placeMarks_}, target, picture_.size(),
                            QRectF(event->rect()));
    }
    if (lineVisible_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::white, lineWidth_));
        p.drawLine(QLineF(line_.p1() / kTwipsPerPixel, line_.p2() / kTwipsPerPixel));
    }
}

void RadarView::mousePressEvent(QMouseEvent* event) {
    const QPointF inPicture(event->position().x() * kTwipsPerPixel - geometry_.left,
                            event->position().y() * kTwipsPerPixel - geometry_.top);
    emit pictureMouseDown(event->button(), event->modifiers(), inPicture);
    event->accept();
}

void RadarView::mouseMoveEvent(QMouseEvent* event) {
    constexpr double kHoverReach = 9; // view pixels around a cell's circle
    const StormMark* mark = stormMarks_ && !picture_.isNull()
                                ? stormMarkNear(*stormMarks_, pictureTarget(), picture_.size(),
                                                event->position(), kHoverReach)
                                : nullptr;
    // A cell before the warning around it.
    const WarningMark* warning =
        mark == nullptr && warningMarks_ && !picture_.isNull()
            ? warningMarkAt(*warningMarks_, pictureTarget(), picture_.size(), event->position())
            : nullptr;
    const QString text = mark ? mark->details : warning ? warning->headline : QString();
    if (!text.isEmpty())
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
    else if (QToolTip::isVisible())
        QToolTip::hideText();
    QWidget::mouseMoveEvent(event);
}

} // namespace nubivista::display
