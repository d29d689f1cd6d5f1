#include "feed/picture/town_labels.h"

#include "feed/picture/bitmap_font.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/palettes.h"

#include <algorithm>
#include <cmath>

namespace nubivista::feed::picture {

namespace {

// Smallest town named, and most names, by range: a short-range picture spans
// a quarter of the area, so it has room for smaller towns.
struct Density {
    std::uint32_t minPopulation;
    std::size_t maxLabels;
};
constexpr Density kShortRange{2'000, 40};
constexpr Density kLongRange{15'000, 30};

// The map between the title rows and the legend, less a margin.
const QRect kMapArea(1, kMapTop + 1, kImageWidth - 2, kMapHeight - 2);

bool isFree(const QRect& box, const QRect& area, const std::vector<QRect>& taken) {
    return area.contains(box) &&
           std::none_of(taken.begin(), taken.end(),
                        [&box](const QRect& other) { return other.intersects(box); });
}

} // namespace

std::optional<TownLabel> placeLabel(const std::string& text, QPoint dot, const QRect& area,
                                    std::vector<QRect>& taken, bool withDot) {
    const QRect dotBox(dot.x() - 1, dot.y() - 1, 3, 3);
    if (withDot && !isFree(dotBox, area, taken))
        return std::nullopt;
    const int width = textWidth(text) + 2;
    const int height = kGlyphHeight + 2;
    const QRect places[] = {
        {dot.x() + 3, dot.y() - height / 2, width, height},
        {dot.x() - 3 - width, dot.y() - height / 2, width, height},
        {dot.x() - width / 2, dot.y() - 2 - height, width, height},
        {dot.x() - width / 2, dot.y() + 3, width, height},
        {dot.x() + 2, dot.y() - 1 - height, width, height},
        {dot.x() + 2, dot.y() + 2, width, height},
        {dot.x() - 2 - width, dot.y() - 1 - height, width, height},
        {dot.x() - 2 - width, dot.y() + 2, width, height},
    };
    for (const QRect& box : places) {
        if (!isFree(box, area, taken))
            continue;
        if (withDot)
            taken.push_back(dotBox);
        taken.push_back(box.adjusted(-1, -1, 1, 1)); // a pixel apart
        return TownLabel{text, dot, box};
    }
    return std::nullopt;
}

std::vector<TownLabel> placeTownLabels(const Towns& towns, const GeoPoint& radar, bool longRange,
                                       std::vector<QRect> taken) {
    const Density density = longRange ? kLongRange : kShortRange;
    std::vector<TownLabel> labels;
    for (const Town& town : towns) {
        // The towns come most populous first.
        if (town.population < density.minPopulation || labels.size() >= density.maxLabels)
            break;
        const PlaneOffset offset = projectFrom(radar, town.position);
        if (!offset.valid)
            continue;
        const QPointF pixel = milesToPixel(offset.east, offset.north, longRange);
        if (!QRectF(kMapArea).contains(pixel))
            continue;
        const QPoint dot(int(std::floor(pixel.x())), int(std::floor(pixel.y())));
        if (auto label = placeLabel(town.name.toUpper().toStdString(), dot, kMapArea, taken))
            labels.push_back(std::move(*label));
    }
    return labels;
}

void drawTownLabels(IndexedImage& layer, const std::vector<TownLabel>& labels) {
    for (const TownLabel& label : labels) {
        layer.fillRect(label.dot.x() - 1, label.dot.y() - 1, 3, 3, colour::kOutline);
        layer.setPixel(label.dot.x(), label.dot.y(), colour::kTownText);
        const int x = label.box.x() + 1;
        const int y = label.box.y() + 1;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0)
                    drawText(layer, x + dx, y + dy, label.text, colour::kOutline);
        drawText(layer, x, y, label.text, colour::kTownText);
    }
}

} // namespace nubivista::feed::picture
