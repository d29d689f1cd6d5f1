#pragma once
// Storm measurement on the shown radar picture: a first click sets a start
// point, a second gives distance and direction and, across two image times,
// the storm's speed; with a speed known, clicks give arrival times. Points are
// twips of the picture (its top left corner is 0, 0).
#include "core/ole_date.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

namespace nubivista::core {
struct Settings;
class Clock;
} // namespace nubivista::core

namespace nubivista::sets {
class LoopSet;
}

namespace nubivista::tracking {

// What the measurement needs of the main window's picture view. An empty
// function is skipped.
struct MeasurementView {
    // Marker 1..3 (start, end, target) at this square, in picture twips.
    std::function<void(int index, QRectF square)> placeMarker;
    std::function<void(int index)> hideMarker;
    // Line1 in twips of the view area, with its width in pixels.
    std::function<void(QLineF line, int width)> showLine;
    std::function<void()> hideLine;
    std::function<void(const QString&)> setText1;
    // The picture's top left in the view area (<= 0 when scrolled) and the
    // view area's size, twips.
    std::function<QPointF()> pictureOrigin;
    std::function<QSizeF()> viewSize;
    // The slot under the selected tab, and whether the loop animation runs.
    std::function<int()> currentSlot;
    std::function<bool()> loopRunning;
    // A result routed to the ETA list window.
    std::function<void(const QString&)> addListRow;
};

class Measurement {
public:
    Measurement(core::Settings& settings, const sets::LoopSet& loop, const core::Clock& clock,
                MeasurementView view);

    // Image1_MouseDown: a press on the picture of the shown slot.
    void Image1_MouseDown(Qt::MouseButton button, QPointF twipsInPicture);
    // ClearMeasurement's part: the state as at start.
    void resetState();

    // The state, as the window's fields hold it.
    float StartX = -1;
    float StartY = 0;
    int StartSlot = 0;
    core::OleDate StartTime = 0;
    core::OleDate EndTime = 0;
    int MotionDirection = -1;
    float StormSpeed = 0;

private:
    void firstClick(int slot, float x, float y, float side);
    void secondClick(int slot, float x, float y, float factor);
    // The speed or ETA result; false when the distance/direction result is due.
    bool speedResult(int slot, float distance, int d, const QString& compass, const QString& unit);
    bool etaResult(int slot, float distance, int d, float k, const QString& compass,
                   const QString& unit);
    void distanceResult(float distance, int d, const QString& compass, const QString& unit);
    void placeMarker(int index, QRectF square);
    void setText1(const QString& text);
    core::OleDate slotTime(int slot) const;
    int referenceSlot(int slot) const;

    core::Settings& settings_;
    const sets::LoopSet& loop_;
    const core::Clock& clock_;
    MeasurementView view_;
    // The end point of the last speed measurement: targets are measured from it.
    float endX_ = 0;
    float endY_ = 0;
};

} // namespace nubivista::tracking
