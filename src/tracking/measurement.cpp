#include "tracking/measurement.h"

#include "core/clock.h"
#include "core/settings.h"
#include "core/time_routines.h"
#include "sets/loop_set.h"
#include "tracking/measurement_math.h"

#include <QLocale>
#include <cmath>
#include <cstdlib>

namespace nubivista::tracking {

namespace {
constexpr int kTabCount = 20;

// The locale's date separator; "/" when its short format shows none.
QChar dateSeparator() {
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    for (const QChar c : format)
        if (c == u'/' || c == u'.' || c == u'-')
            return c;
    return u'/';
}

QString directionText(int d, const QString& compass) {
    return QString::number(d) + QStringLiteral(" deg. ") + compass;
}
} // namespace

Measurement::Measurement(core::Settings& settings, const sets::LoopSet& loop,
                         const core::Clock& clock, MeasurementView view)
    : settings_(settings), loop_(loop), clock_(clock), view_(std::move(view)) {}

void Measurement::resetState() {
    StartX = -1;
    StartY = 0;
    StartSlot = 0;
    StartTime = 0;
    EndTime = 0;
    MotionDirection = -1;
    StormSpeed = 0;
    endX_ = 0;
    endY_ = 0;
}

void Measurement::Image1_MouseDown(Qt::MouseButton button, QPointF twipsInPicture) {
    // The display clears the measurement on a right press itself.
    if (button == Qt::RightButton || !view_.currentSlot)
        return;
    const int slot = view_.currentSlot();
    if (!loop_.filled(slot))
        return;
    // A unit factor of 0 (a damaged setting) measures in miles from here on.
    float unitFactor = settings_.UnitFactor;
    unitLabel(unitFactor);
    settings_.UnitFactor = unitFactor;
    const float x = static_cast<float>(twipsInPicture.x());
    const float y = static_cast<float>(twipsInPicture.y());
    const float factor = markerFactor(settings_.ZoomFactor, settings_.LongRangeFlag);
    if (StartX == -1)
        firstClick(slot, x, y, markerSide(factor));
    else
        secondClick(slot, x, y, factor);
}

void Measurement::firstClick(int slot, float x, float y, float side) {
    StartX = x;
    StartY = y;
    placeMarker(1, QRectF(x - (side / 2 - 7.5), y - side / 2, side, side));
    if (view_.hideMarker) {
        view_.hideMarker(2);
        view_.hideMarker(3);
    }
    if (StormSpeed <= 0) {
        const QDateTime now = clock_.now();
        const QLocale locale;
        setText1(QStringLiteral("Got Start - Distance/Speed: ") +
                 locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                 locale.toString(now.time(), QLocale::ShortFormat));
        if (view_.hideLine)
            view_.hideLine();
    } else {
        setText1(QStringLiteral("Got Start - ETA"));
        if (settings_.TwoClickEta == 1 && view_.hideLine)
            view_.hideLine();
    }
    StartSlot = slot;
    StartTime = slotTime(slot);
    if (StartTime <= 0)
        StartSlot = 0;
}

void Measurement::secondClick(int slot, float x, float y, float factor) {
    const bool twoClick = settings_.TwoClickEta == 1;
    const float side = markerSide(factor);
    const QRectF square(x - (side / 2 - 7.5), y - (side / 2 - 7.5), side, side);
    if (twoClick || StormSpeed <= 0) {
        placeMarker(2, square);
        endX_ = x;
        endY_ = y;
        if (!twoClick)
            EndTime = slotTime(slot);
    } else {
        // Targets are measured from where the speed measurement ended.
        StartX = endX_;
        StartY = endY_;
        placeMarker(3, square);
    }
    const float dx = StartX - x;
    const float dy = StartY - y;

    int d = 0;
    float k = 1;
    if (StormSpeed <= 0) {
        MotionDirection = ComputeDirection(StartX, StartY, x, y).degrees;
        d = MotionDirection;
    } else {
        d = ComputeDirection(StartX, StartY, x, y).degrees;
        k = DirectionFactor(MotionDirection, d);
    }
    const QString compass = CompassPoint(d);

    if ((twoClick || StormSpeed <= 0) && view_.showLine) {
        const QPointF origin = view_.pictureOrigin ? view_.pictureOrigin() : QPointF();
        const QSizeF size = view_.viewSize ? view_.viewSize() : QSizeF();
        view_.showLine(
            trackLineAcross(QPointF(StartX, StartY) + origin, QPointF(x, y) + origin, size),
            trackLineWidth(factor));
    }
    if (twoClick) {
        StartX = -1;
        StartY = -1;
    }

    float unitFactor = settings_.UnitFactor;
    const QString unit = unitLabel(unitFactor);
    const float distance =
        measuredDistance(dx, dy, settings_.MapScaleActive, settings_.ZoomFactor, unitFactor);

    if (StartSlot == 0 || !std::isfinite(distance)) {
        distanceResult(distance, d, compass, unit);
        return;
    }
    const int now = view_.currentSlot ? view_.currentSlot() : slot;
    const bool done = StormSpeed > 0 && distance > 0 ? etaResult(now, distance, d, k, compass, unit)
                                                     : speedResult(now, distance, d, compass, unit);
    if (!done) {
        distanceResult(distance, d, compass, unit);
        return;
    }
    if (twoClick)
        StartSlot = 0;
}

bool Measurement::speedResult(int slot, float distance, int d, const QString& compass,
                              const QString& unit) {
    const core::OleDate time = slotTime(slot);
    if (StormSpeed != 0 || StartSlot == slot || !loop_.filled(slot) || time <= 0)
        return false;
    const std::optional<std::int64_t> minutes =
        core::oleMinutesBetween(std::min(StartTime, time), std::max(StartTime, time));
    // Two images in the same clock minute give no speed.
    if (!minutes || *minutes <= 0)
        return false;
    const float hours = static_cast<float>(*minutes) / 60.0f;
    const float speed = distance / hours;
    if (!std::isfinite(speed))
        return false;
    StormSpeed = speed;
    setText1(numberText(StormSpeed) + u' ' + unit + QStringLiteral("/Hr @ ") +
             directionText(d, compass));
    return true;
}

bool Measurement::etaResult(int slot, float distance, int d, float k, const QString& compass,
                            const QString& unit) {
    if (settings_.EtaUseDirection != 0 && k == 0) {
        setText1(QStringLiteral("Directional ETA Not Meaningful"));
        return true;
    }
    if (settings_.EtaUseDirection == 0)
        k = 1;
    const float raw = distance / StormSpeed * 3600.0f;
    if (!std::isfinite(raw))
        return false;
    float seconds = static_cast<float>(roundHalfEven(raw));
    if (seconds <= 0)
        return false;
    seconds *= k;

    const core::OleDate reference =
        settings_.TwoClickEta != 0 ? slotTime(referenceSlot(slot)) : EndTime;
    if (reference <= 0)
        return false;
    const core::OleDate local = core::FileTimeToLocDate(core::DateToFileTime(reference), clock_);
    // Calendar fields only: adding seconds must not pass through a zone.
    const QDateTime start = core::oleToDateTime(local, Qt::UTC);
    if (!start.isValid())
        return false;
    const QDateTime eta = start.addSecs(static_cast<qint64>(seconds));
    if (!eta.isValid())
        return false;
    const QString text = QStringLiteral("ETA: ") + etaTimeText(eta, dateSeparator()) +
                         QStringLiteral(" ... ") + numberText(distance, 1) + u' ' + unit +
                         QStringLiteral(" @ ") + numberText(StormSpeed) + u' ' + unit +
                         QStringLiteral("/Hr @ ") + directionText(d, compass);
    if ((settings_.PopupLists & 1) != 0 && view_.addListRow)
        view_.addListRow(text);
    else
        setText1(text);
    return true;
}

void Measurement::distanceResult(float distance, int d, const QString& compass,
                                 const QString& unit) {
    const QString text = QStringLiteral("Dist/Dir: ") + numberText(distance, 1) + u' ' + unit +
                         QStringLiteral(" @ ") + directionText(d, compass);
    if ((settings_.PopupLists & 2) != 0 && view_.addListRow)
        view_.addListRow(text);
    else
        setText1(text);
    StartSlot = 0;
}

int Measurement::referenceSlot(int slot) const {
    // While the loop runs the shown image changes under the click: the
    // newest tab is the reference then.
    if (!view_.loopRunning || !view_.loopRunning())
        return slot;
    for (int tab = kTabCount; tab >= 1; --tab) {
        const int s = loop_.slotForTab(tab);
        if (loop_.filled(s))
            return s;
    }
    return slot;
}

void Measurement::placeMarker(int index, QRectF square) {
    if (view_.placeMarker)
        view_.placeMarker(index, square);
}

void Measurement::setText1(const QString& text) {
    if (view_.setText1)
        view_.setText1(text);
}

core::OleDate Measurement::slotTime(int slot) const {
    if (slot < 1 || slot > kTabCount)
        return 0;
    return loop_.model().slotTime[static_cast<std::size_t>(slot)];
}

} // namespace nubivista::tracking
