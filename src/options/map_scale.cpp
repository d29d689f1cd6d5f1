#include "options/map_scale.h"

#include "core/settings.h"

#include <cmath>

namespace nubivista::options {

namespace {

constexpr float kTwipsPerPixel = 15.0f;

QString scaleLabel(int spaces) {
    return QStringLiteral("Adjust Map Scale - Pixels /per") + QString(spaces, QLatin1Char(' ')) +
           QStringLiteral("(short range, zoom 1)");
}

} // namespace

float unitFactorOf(int unit) {
    switch (unit) {
    case kKilometers:
        return kKilometerFactor;
    case kNauticalMiles:
        return kNauticalMileFactor;
    default:
        return kMileFactor;
    }
}

QString unitWord(int unit) {
    switch (unit) {
    case kKilometers:
        return QStringLiteral("Kilometer");
    case kNauticalMiles:
        return QStringLiteral("Naut. Mi.");
    default:
        return QStringLiteral("Mile");
    }
}

QString scaleLabelAtLoad(int unit) {
    return scaleLabel(unit == kMiles ? 8 : 18);
}

QString scaleLabelAfterClick(int unit) {
    return scaleLabel(unit == kMiles ? 17 : 18);
}

UnitAtLoad unitAtLoad(float storedFactor) {
    if (storedFactor != 1.0f && storedFactor != 0.0f)
        return {storedFactor > 1.0f ? kKilometers : kNauticalMiles, storedFactor};
    return {kMiles, kMileFactor};
}

float scaleDisplay(float mapScale, float unitFactor) {
    return mapScale / unitFactor / kTwipsPerPixel;
}

QString scaleText(float display) {
    const double rounded = std::round(static_cast<double>(display) * 1000.0) / 1000.0;
    QString digits = QString::number(std::abs(rounded), 'f', 3);
    if (digits.startsWith(QLatin1String("0.")))
        digits.remove(0, 1);
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

float convertScaleDisplay(float display, float oldFactor, float newFactor) {
    const float perMile = display * oldFactor;
    return perMile / newFactor;
}

void storeMapScale(core::Settings& settings, float mapScale, bool shortScaleActive) {
    settings.MapScale = mapScale;
    settings.MapScaleLong = mapScale / 2;
    settings.MapScaleActive = shortScaleActive ? settings.MapScale : settings.MapScaleLong;
}

} // namespace nubivista::options
