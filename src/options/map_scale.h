#pragma once
// The map scale as the Options window shows it: MapScale is kept in twips per
// mile, the window shows pixels per chosen unit ("##.000"). The unit choice
// and its labels live here too; nothing here knows a widget.
#include <QString>

namespace nubivista::core {
struct Settings;
}

namespace nubivista::options {

// Option1(0), (1), (2).
inline constexpr int kMiles = 0;
inline constexpr int kKilometers = 1;
inline constexpr int kNauticalMiles = 2;

inline constexpr float kMileFactor = 1.0f;
inline constexpr float kKilometerFactor = 1.609344f;
inline constexpr float kNauticalMileFactor = 0.8689762f;

// MapScale limits, twips per mile.
inline constexpr float kMinMapScale = 3.0f;
inline constexpr float kMaxMapScale = 300.0f;

float unitFactorOf(int unit);
// Label7: "Mile", "Kilometer", "Naut. Mi.".
QString unitWord(int unit);
// Label6 as the load sets it and as a unit click sets it (the two differ in
// the gap left for Label7 with miles).
QString scaleLabelAtLoad(int unit);
QString scaleLabelAfterClick(int unit);

// The unit shown at load for the stored UnitFactor: kilometres above 1,
// nautical miles below, miles for exactly 1.0 or 0 (which is repaired to 1.0).
struct UnitAtLoad {
    int unit = kMiles;
    float factor = kMileFactor;
};
UnitAtLoad unitAtLoad(float storedFactor);

// Pixels per unit = MapScale / UnitFactor / 15.
float scaleDisplay(float mapScale, float unitFactor);
// The value rounded to 3 decimals in the format "##.000": no leading zero
// before the point (0.2 shows ".200").
QString scaleText(float display);
// The shown value when the unit changes; MapScale stays.
float convertScaleDisplay(float display, float oldFactor, float newFactor);

// MapScale set, with MapScaleLong (half) and MapScaleActive (the short scale
// while a short-range image is measured, else the long one) following it.
void storeMapScale(core::Settings& settings, float mapScale, bool shortScaleActive);

} // namespace nubivista::options
