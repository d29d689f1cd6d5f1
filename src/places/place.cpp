#include "places/place.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace nubivista::places {

namespace {

// NaN and infinities fail every test written this way.
bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

} // namespace

std::optional<PlaceProblem> placeProblem(const Place& place) {
    if (place.name.trimmed().isEmpty())
        return PlaceProblem{PlaceField::Name, QStringLiteral("The Place Needs A Name.")};
    if (place.name.contains(QLatin1Char('\t')) || place.name.contains(QLatin1Char('\n')) ||
        place.name.contains(QLatin1Char('\r')))
        return PlaceProblem{PlaceField::Name,
                            QStringLiteral("A Place's Name Cannot Hold A Tab Or A Line Break.")};
    // The file would read such a name's line as a comment.
    if (place.name.trimmed().startsWith(QLatin1Char('#')))
        return PlaceProblem{PlaceField::Name,
                            QStringLiteral("A Place's Name Cannot Start With #.")};
    if (!within(place.latitude, -90, 90))
        return PlaceProblem{
            PlaceField::Latitude,
            QStringLiteral("The Latitude Must Be A Number From -90 To 90 (Degrees North).")};
    if (!within(place.longitude, -180, 180))
        return PlaceProblem{
            PlaceField::Longitude,
            QStringLiteral("The Longitude Must Be A Number From -180 To 180 (Degrees East).")};
    if (!std::isfinite(place.radiusMiles) || place.radiusMiles <= 0)
        return PlaceProblem{PlaceField::Radius,
                            QStringLiteral("The Alarm Radius Must Be A Number Of Miles Above 0.")};
    return std::nullopt;
}

double placeNumber(QStringView text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? value : std::numeric_limits<double>::quiet_NaN();
}

QString placeNumberText(double value) {
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace nubivista::places
