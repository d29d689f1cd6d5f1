#pragma once
// A watcher's named place: where it is and whether an alarm watches it, with
// the rules every place keeps and the texts that say which rule a place breaks.
#include <QString>
#include <QStringView>
#include <optional>

namespace nubivista::places {

struct Place {
    QString name;
    double latitude = 0;    // degrees north, -90..90
    double longitude = 0;   // degrees east, -180..180
    double radiusMiles = 0; // alarm radius in statute miles, above 0
    bool alarmOn = false;

    bool operator==(const Place&) const = default;
};

enum class PlaceField { Name, Latitude, Longitude, Radius };

struct PlaceProblem {
    PlaceField field;
    QString text; // a sentence for the user
};

// The first rule the place breaks; nothing when it keeps them all: a name
// that is not empty, does not start with "#" and holds no tab or line break,
// the latitude and longitude in range and a radius above 0 (all finite).
std::optional<PlaceProblem> placeProblem(const Place& place);

// A number as the file and the window write it ("." decimals, surrounding
// blanks ignored); NaN when the text is no number, which no rule accepts.
double placeNumber(QStringView text);
// The shortest text of value to a millionth ("43.1", "-88.55", "10").
QString placeNumberText(double value);

} // namespace nubivista::places
