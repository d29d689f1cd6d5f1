#include "radar/products.h"

#include "radar/site_table.h"

namespace nubivista::radar {

namespace {

constexpr int OneHourRainfallIndex = 2;
constexpr int StormTotalIndex = 3;

} // namespace

std::span<const Level3Source> RadarProductCode::sourcesFor(RadarType type) const {
    const std::array<Level3Source, 2>& sources = type == RadarType::Tdwr ? tdwr : level3;
    std::size_t count = 0;
    while (count < sources.size() && !sources[count].directory.isEmpty())
        ++count;
    return std::span(sources).first(count);
}

QString RadarProductCode::productName() const {
    switch (kind) {
    case ProductKind::BaseReflectivity:
        return isLongRange() ? QStringLiteral("long-range base reflectivity")
                             : QStringLiteral("base reflectivity");
    case ProductKind::CompositeReflectivity:
        return isLongRange() ? QStringLiteral("long-range composite reflectivity")
                             : QStringLiteral("composite reflectivity");
    case ProductKind::OneHourRainfall:
        return QStringLiteral("one-hour rainfall");
    case ProductKind::StormTotalRainfall:
        return QStringLiteral("storm-total rainfall");
    case ProductKind::StormCells:
        return QString(meaning);
    }
    return {};
}

const RadarProductCode* FindProduct(const QString& code) {
    for (const RadarProductCode& product : RadarProductCodes) {
        if (code == product.code)
            return &product;
    }
    return nullptr;
}

std::optional<RangeClass> RangeClassOf(const QString& code) {
    for (const RadarProductCode& product : RadarProductCodes) {
        if (code.compare(product.code, Qt::CaseSensitive) == 0)
            return product.range;
    }
    return std::nullopt;
}

QStringList ProductChoiceItems() {
    return {QStringLiteral("Base Reflectivity"), QStringLiteral("Composite Reflectivity"),
            QStringLiteral("1-Hour Rainfall"), QStringLiteral("Storm Total")};
}

QString ProductForChoice(int index, bool longRange) {
    switch (index) {
    case 1:
        return longRange ? CompositeReflectivityLong : CompositeReflectivityShort;
    case OneHourRainfallIndex:
        return OneHourRainfall;
    case StormTotalIndex:
        return StormTotalRainfall;
    default: // 0, below 0 and past the end of the list
        return longRange ? BaseReflectivityLong : BaseReflectivityShort;
    }
}

bool SelectionClearsLongRange(int index) {
    return index == OneHourRainfallIndex || index == StormTotalIndex;
}

std::optional<ProductChoice> ChoiceForProduct(const QString& code) {
    const RadarProductCode* product = FindProduct(code);
    if (product == nullptr)
        return std::nullopt;
    switch (product->kind) {
    case ProductKind::BaseReflectivity:
        return ProductChoice{0, product->isLongRange()};
    case ProductKind::CompositeReflectivity:
        return ProductChoice{1, product->isLongRange()};
    case ProductKind::OneHourRainfall:
        return ProductChoice{OneHourRainfallIndex, false};
    case ProductKind::StormTotalRainfall:
        return ProductChoice{StormTotalIndex, false};
    case ProductKind::StormCells:
        break; // never in the list
    }
    return std::nullopt;
}

} // namespace nubivista::radar
