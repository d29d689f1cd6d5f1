#pragma once
// The radar picture: one view that paints the shown slot's picture at the
// zoom, nearest-neighbour so that radar pixels stay crisp, offset by the
// scroll bars. Every slot's picture shares one geometry (left and top <= 0
// when scrolled, the zoomed size), in twips relative to the view. The three
// measurement markers and the line between clicked points are drawn over it
// in the same geometry.
#include "display/place_marks.h"
#include "display/storm_marks.h"
#include "display/twips.h"
#include "display/warning_marks.h"

#include <QImage>
#include <QLineF>
#include <QWidget>
#include <array>
#include <vector>

namespace nubivista::display {

// One of the three markers Image2(1..3): a small cross that can be clicked.
class MarkerWidget : public QWidget {
    Q_OBJECT
public:
    MarkerWidget(int index, QWidget* parent);
    int index() const { return index_; }

    // The marker's centre, in twips of the view.
    void placeCentreAt(double xTwips, double yTwips);

signals:
    void mouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   QPointF twipsInMarker);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int index_;
};

class RadarView : public QWidget {
    Q_OBJECT
public:
    explicit RadarView(QWidget* parent = nullptr);

    // The picture shown (implicitly shared: no copy is made). A null image
    // shows the empty slot: the view's black background.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    void setPictureGeometry(const TwipsRect& geometry);
    const TwipsRect& pictureGeometry() const { return geometry_; }

    // Line1, from and to in twips of the view.
    void setLine(const QLineF& twips);
    QLineF line() const { return line_; }
    void setLineVisible(bool visible);
    void setLineWidth(int pixels); // Line1.BorderWidth
    int lineWidth() const { return lineWidth_; }
    bool lineVisible() const { return lineVisible_; }

    // The watcher's places, drawn over the picture; none by default.
    void setPlaceMarks(std::vector<PlaceMark> marks);
    const std::vector<PlaceMark>& placeMarks() const { return placeMarks_; }

    // The radar's storm cells of the shown image, under the places; none by
    // default. Hovering over a cell shows its details.
    void setStormMarks(StormMarks marks);
    const StormMarks& stormMarks() const { return stormMarks_; }
    // The warnings in force at the shown image's scan, under the cells;
    // hovering over one shows its headline.
    void setWarningMarks(WarningMarks marks);
    const WarningMarks& warningMarks() const { return warningMarks_; }

    MarkerWidget* marker(int index) const; // Image2(1..3)
    void hideMarks();                      // the markers and Line1

signals:
    // A press on the picture, at a point in twips relative to the picture's
    // own top left corner.
    void pictureMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          QPointF twipsInPicture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // The picture's place in the view, in view pixels.
    QRectF pictureTarget() const;
    // Repaints the picture's part of the view.
    void updatePicture();

    QImage picture_;
    TwipsRect geometry_{0, 0, 9300, 9300};
    QLineF line_;
    bool lineVisible_ = false;
    int lineWidth_ = 1;
    std::array<MarkerWidget*, 4> markers_{}; // index 0 unused
    std::vector<PlaceMark> placeMarks_;
    StormMarks stormMarks_;
    WarningMarks warningMarks_;
};

} // namespace nubivista::display
