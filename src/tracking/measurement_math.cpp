#include "tracking/measurement_math.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nubivista::tracking {

namespace {
// The angle conversion uses this value of pi, so that bearings near a sector
// edge round the same way they always have.
constexpr double kPi = 3.141592;

bool insideWindow(int centre, int target) {
    int a = centre;
    if (a > 359)
        a -= 360;
    int hi = a + 30;
    if (hi > 359)
        hi -= 360;
    int lo = a - 30;
    if (lo < 0)
        lo += 360;
    if (lo < hi)
        return lo < target && target < hi;
    // The window spans north.
    return (target >= 0 && target < hi) || target > lo;
}
} // namespace

double roundHalfEven(double value) {
    const double down = std::floor(value);
    const double rest = value - down;
    if (rest > 0.5)
        return down + 1;
    if (rest < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

Direction ComputeDirection(float x1, float y1, float x2, float y2) {
    const float dx = x1 - x2;
    const float dy = y1 - y2;
    if (dx == 0 && dy == 0)
        return {};
    double angle = 0;
    if (dy == 0) {
        angle = dx > 0 ? 270 : 90;
    } else if (dx == 0) {
        angle = dy > 0 ? 0 : 180;
    } else {
        const float ratio = dx / dy;
        const double a = std::atan(static_cast<double>(ratio)) * 180 / kPi;
        if (dy < 0)
            angle = 180 - a;
        else if (dx < 0)
            angle = -a;
        else
            angle = 360 - a;
    }
    return {angle, static_cast<int>(roundHalfEven(angle))};
}

float DirectionFactor(int motion, int target) {
    if (insideWindow(motion, target))
        return 1;
    int opposite = motion + 180;
    if (opposite > 359)
        opposite -= 360;
    if (insideWindow(opposite, target))
        return -1;
    return 0;
}

QString CompassPoint(int d) {
    struct Sector {
        int below;
        const char* text;
    };
    static constexpr Sector kSectors[] = {{22, "N"},   {68, "NE"},  {112, "E"},
                                          {158, "SE"}, {202, "S"},  {248, "SW"},
                                          {292, "W"},  {338, "NW"}, {360, "N"}};
    for (const Sector& s : kSectors)
        if (d < s.below)
            return QString::fromLatin1(s.text);
    return {};
}

QString unitLabel(float& unitFactor) {
    if (unitFactor == 1.0f)
        return QStringLiteral("Mi");
    if (unitFactor == 0.0f) {
        unitFactor = 1.0f;
        return QStringLiteral("Mi");
    }
    return unitFactor < 1.0f ? QStringLiteral("Nm") : QStringLiteral("Km");
}

float markerFactor(float z, int longRangeFlag) {
    struct Row {
        float below;
        float shortRange; // 0: the zoom itself
        float longRange;
    };
    static constexpr Row kRows[] = {
        {1.1f, 0, 0.6f}, {1.6f, 0, 0.8f}, {2.1f, 0, 1.0f}, {3.1f, 2.0f, 1.5f}, {4.1f, 3.0f, 2.0f}};
    const bool longRange = longRangeFlag == 1;
    for (const Row& r : kRows) {
        if (z < r.below) {
            if (longRange)
                return r.longRange;
            return r.shortRange == 0 ? z : r.shortRange;
        }
    }
    return longRange ? 2.5f : 4.0f;
}

int trackLineWidth(float factor) {
    return static_cast<int>(roundHalfEven(factor));
}

float measuredDistance(float dx, float dy, float mapScaleActive, float zoomFactor,
                       float unitFactor) {
    const float length = std::sqrt(dx * dx + dy * dy);
    return length / mapScaleActive / zoomFactor * unitFactor;
}

QLineF trackLineAcross(QPointF a, QPointF b, QSizeF size) {
    const double w = size.width();
    const double h = size.height();
    if (a.x() == b.x())
        return {a.x(), 0, a.x(), h};
    if (a.y() == b.y())
        return {0, a.y(), w, a.y()};
    const QPointF d = b - a;
    // Where the line meets each border, as the parameter along a -> b.
    std::vector<double> ts;
    const double eps = 1e-9;
    for (const double x : {0.0, w}) {
        const double t = (x - a.x()) / d.x();
        const double y = a.y() + t * d.y();
        if (y >= -eps && y <= h + eps)
            ts.push_back(t);
    }
    for (const double y : {0.0, h}) {
        const double t = (y - a.y()) / d.y();
        const double x = a.x() + t * d.x();
        if (x >= -eps && x <= w + eps)
            ts.push_back(t);
    }
    if (ts.size() < 2)
        return {a, b};
    const auto [lo, hi] = std::minmax_element(ts.begin(), ts.end());
    return {a + *lo * d, a + *hi * d};
}

QString numberText(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = roundHalfEven(value * scale) / scale;
    QString text = QString::number(rounded, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        return QStringLiteral("0");
    if (text.startsWith(QStringLiteral("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QStringLiteral("-0.")))
        text.remove(1, 1);
    return text;
}

QString etaTimeText(const QDateTime& local, QChar dateSeparator) {
    const QTime t = local.time();
    const QDate d = local.date();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    const QString date = QString::number(d.month()) + dateSeparator + QString::number(d.day()) +
                         dateSeparator +
                         QStringLiteral("%1").arg(d.year() % 100, 2, 10, QChar(u'0'));
    return QStringLiteral("%1:%2 %3 ")
               .arg(hour12)
               .arg(t.minute(), 2, 10, QChar(u'0'))
               .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM")) +
           date;
}

} // namespace nubivista::tracking
