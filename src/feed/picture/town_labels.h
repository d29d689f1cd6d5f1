#pragma once
// The towns a radar's picture names, and where: each a dot with its name
// beside it in outlined capitals, readable over any echo.
#include "feed/picture/indexed_image.h"
#include "feed/picture/towns.h"

#include <QPoint>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

namespace nubivista::feed::picture {

struct TownLabel {
    std::string text; // "ST. LOUIS"
    QPoint dot;       // the town's pixel
    QRect box;        // the text with its outline
};

// A label for a town at dot in area, clear of taken, right of the dot, else
// left, above, below or at a corner; taken then holds it. None when it fits
// nowhere. Without a dot, the name alone stands by the town's place, which
// may be taken.
std::optional<TownLabel> placeLabel(const std::string& text, QPoint dot, const QRect& area,
                                    std::vector<QRect>& taken, bool withDot = true);

// The most populous towns first, as many as fit: no label overlaps another,
// a dot, or anything in taken (the radar's marker, the neighbouring radars),
// and every one lies on the map, clear of the title rows and the legend. A
// short-range picture names smaller towns than a long-range one.
std::vector<TownLabel> placeTownLabels(const Towns& towns, const GeoPoint& radar, bool longRange,
                                       std::vector<QRect> taken);

void drawTownLabels(IndexedImage& layer, const std::vector<TownLabel>& labels);

} // namespace nubivista::feed::picture
