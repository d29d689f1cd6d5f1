#include "display/time_text.h"

#include "core/ole_date.h"
#include "core/time_routines.h"

#include <QPainter>

namespace nubivista::display {

namespace {

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString dateText(const core::DateParts& p) {
    return twoDigits(p.month) + QLatin1Char('/') + twoDigits(p.day) + QLatin1Char('/') +
           QStringLiteral("%1").arg(p.year, 4, 10, QLatin1Char('0'));
}

} // namespace

std::optional<QString> timeText(sets::OleDate slotTimeUtc, int mode, const core::Clock& clock) {
    if (mode < kTimeUtc || mode > kTimeLocalAmPm)
        return std::nullopt;
    if (slotTimeUtc == 0)
        return QString();
    const sets::OleDate shown =
        mode == kTimeUtc ? slotTimeUtc
                         : core::FileTimeToLocDate(core::DateToFileTime(slotTimeUtc), clock);
    const std::optional<core::DateParts> parts = core::oleToParts(shown);
    if (!parts)
        return QString();
    const core::DateParts& p = *parts;
    switch (mode) {
    case kTimeUtc:
        return twoDigits(p.hour) + QLatin1Char(':') + twoDigits(p.minute) +
               QStringLiteral(" UTC ") + dateText(p);
    case kTimeLocal24:
        return twoDigits(p.hour) + QLatin1Char(':') + twoDigits(p.minute) +
               QStringLiteral(" LOC ") + dateText(p);
    default: {
        const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        return QString::number(hour12) + QLatin1Char(':') + twoDigits(p.minute) +
               (p.hour < 12 ? QStringLiteral(" am ") : QStringLiteral(" pm ")) + dateText(p);
    }
    }
}

int nextTimeDisplayMode(int mode) {
    if (mode < kTimeUtc || mode > kTimeLocalAmPm)
        return mode;
    return (mode + 1) % 3;
}

QImage stampBoxImage(const QImage& picture) {
    QImage box(kStampBoxPixels, QImage::Format_RGB32);
    box.fill(Qt::black);
    if (picture.isNull())
        return box;
    QPainter painter(&box);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(kStampOffsetInBox, picture, kStampStrip);
    return box;
}

} // namespace nubivista::display
