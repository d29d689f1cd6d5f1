#pragma once
// The text of Places.tsv, UTF-8, one place a line:
//   name TAB latitude TAB longitude TAB radius in statute miles TAB 1 or 0
// A line starting with "#" is a comment. Comments, blank lines and lines that
// cannot be read are kept exactly as they are, so that writing the places
// back gives them back unchanged; so is every place line nobody edited.
#include "places/place.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace nubivista::places {

struct PlacesLine {
    QByteArray text;            // as in the file, without its line break
    std::optional<Place> place; // empty for a comment, a blank or an unreadable line
};

struct UnreadableLine {
    int number = 0; // 1 for the file's first line
    QByteArray text;
    QString problem;
};

struct PlacesText {
    std::vector<PlacesLine> lines;
    std::vector<UnreadableLine> unreadable;
    // Kept from the file read, so that its rewrite looks the same.
    bool byteOrderMark = false;
    bool crLf = false;
};

PlacesText readPlacesText(QByteArrayView bytes);
// Every line with a line break after it.
QByteArray placesTextBytes(const PlacesText& text);

// The line of a place as the program writes it.
PlacesLine placeLine(const Place& place);

} // namespace nubivista::places
