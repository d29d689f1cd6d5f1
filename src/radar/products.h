#pragma once
// The radar products the program knows, by their eight-character codes as the
// radar web server writes them in page and image addresses, and the product
// choice of the main window (list index plus the Long Range box).
#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <span>

namespace nubivista::radar {

// Short-range products are measured with the short-range map scale, long-range
// ones with the long-range scale.
enum class RangeClass { Short, Long };

enum class ProductKind {
    BaseReflectivity,
    CompositeReflectivity,
    OneHourRainfall,
    StormTotalRainfall,
    // What the radar says of the storm cells it tracks: no picture, and never
    // a choice of the product list.
    StormCells
};

// Where today's weather service publishes a product: the directory of its
// product tree ("DS.p94r0") and the product's three letters in the cloud
// archive's keys ("N0Q").
struct Level3Source {
    QLatin1String directory;
    QLatin1String awips;
};

enum class RadarType; // site_table.h

struct RadarProductCode {
    QLatin1String code;    // eight characters, compared case-sensitively
    QLatin1String meaning; // for people reading the code, never shown
    RangeClass range;
    ProductKind kind;
    QLatin1String caption; // the product's title in its pictures
    // The Level III products that stand for it today, in order of preference;
    // the first with data is used. An empty directory ends the list. The
    // network's WSR-88D radars publish one set, the airports' Terminal Doppler
    // Weather Radars another; an empty first directory: none at all.
    std::array<Level3Source, 2> level3;
    std::array<Level3Source, 2> tdwr;

    // The Level III products of this picture that a radar of the type publishes.
    std::span<const Level3Source> sourcesFor(RadarType type) const;
    // "long-range composite reflectivity", for "TSTL publishes no ... product".
    QString productName() const;

    bool isRainfall() const {
        return kind == ProductKind::OneHourRainfall || kind == ProductKind::StormTotalRainfall;
    }
    bool isLongRange() const { return range == RangeClass::Long; }
    QString codeString() const { return code; }
};

inline constexpr QLatin1String BaseReflectivityShort{"DS.p19r0"};
inline constexpr QLatin1String BaseReflectivityLong{"DS.p20-r"};
inline constexpr QLatin1String CompositeReflectivityShort{"DS.p37cr"};
inline constexpr QLatin1String CompositeReflectivityLong{"DS.p38cr"};
inline constexpr QLatin1String OneHourRainfall{"DS.78ohp"};
inline constexpr QLatin1String StormTotalRainfall{"DS.80stp"};

inline constexpr std::array<RadarProductCode, 6> RadarProductCodes{{
    {BaseReflectivityShort,
     QLatin1String("base reflectivity, short range"),
     RangeClass::Short,
     ProductKind::BaseReflectivity,
     QLatin1String("BASE REFLECTIVITY"),
     {{{QLatin1String("DS.p94r0"), QLatin1String("N0Q")},
       {QLatin1String("DS.p19r0"), QLatin1String("N0R")}}},
     {{{QLatin1String("DS.180z0"), QLatin1String("TZ0")}, {}}}},
    {BaseReflectivityLong,
     QLatin1String("base reflectivity, long range"),
     RangeClass::Long,
     ProductKind::BaseReflectivity,
     QLatin1String("BASE REFL LONG RANGE"),
     {{{QLatin1String("DS.p94r0"), QLatin1String("N0Q")},
       {QLatin1String("DS.p20-r"), QLatin1String("N0Z")}}},
     {{{QLatin1String("DS.186zl"), QLatin1String("TZL")}, {}}}},
    {CompositeReflectivityShort,
     QLatin1String("composite reflectivity, short range"),
     RangeClass::Short,
     ProductKind::CompositeReflectivity,
     QLatin1String("COMPOSITE REFLECTIVITY"),
     {{{QLatin1String("DS.p37cr"), QLatin1String("NCR")}, {}}},
     {{{QLatin1String("DS.p37cr"), QLatin1String("NCR")}, {}}}},
    {CompositeReflectivityLong,
     QLatin1String("composite reflectivity, long range"),
     RangeClass::Long,
     ProductKind::CompositeReflectivity,
     QLatin1String("COMP REFL LONG RANGE"),
     {{{QLatin1String("DS.p38cr"), QLatin1String("NCZ")}, {}}},
     {}},
    {OneHourRainfall,
     QLatin1String("one-hour rainfall"),
     RangeClass::Short,
     ProductKind::OneHourRainfall,
     QLatin1String("1-HOUR RAINFALL"),
     {{{QLatin1String("DS.170aa"), QLatin1String("DAA")},
       {QLatin1String("DS.78ohp"), QLatin1String("N1P")}}},
     {{{QLatin1String("DS.78ohp"), QLatin1String("N1P")}, {}}}},
    {StormTotalRainfall,
     QLatin1String("storm total rainfall"),
     RangeClass::Short,
     ProductKind::StormTotalRainfall,
     QLatin1String("STORM TOTAL RAINFALL"),
     {{{QLatin1String("DS.172dt"), QLatin1String("DTA")},
       {QLatin1String("DS.80stp"), QLatin1String("NTP")}}},
     {{{QLatin1String("DS.80stp"), QLatin1String("NTP")}, {}}}},
}};

// The storm products the feed reads for the storm tracks: tracking, hail,
// mesocyclones and tornado vortex signatures. The airport radars publish none.
inline constexpr std::array<RadarProductCode, 4> StormProductCodes{{
    {QLatin1String("DS.58sti"),
     QLatin1String("storm tracking information"),
     RangeClass::Long,
     ProductKind::StormCells,
     QLatin1String("STORM TRACKS"),
     {{{QLatin1String("DS.58sti"), QLatin1String("NST")}, {}}},
     {}},
    {QLatin1String("DS.p59hi"),
     QLatin1String("hail index"),
     RangeClass::Short,
     ProductKind::StormCells,
     QLatin1String("HAIL"),
     {{{QLatin1String("DS.p59hi"), QLatin1String("NHI")}, {}}},
     {}},
    {QLatin1String("DS.141md"),
     QLatin1String("mesocyclone detection"),
     RangeClass::Short,
     ProductKind::StormCells,
     QLatin1String("MESOCYCLONES"),
     {{{QLatin1String("DS.141md"), QLatin1String("NMD")}, {}}},
     {}},
    {QLatin1String("DS.61tvs"),
     QLatin1String("tornado vortex signature"),
     RangeClass::Short,
     ProductKind::StormCells,
     QLatin1String("TORNADO VORTICES"),
     {{{QLatin1String("DS.61tvs"), QLatin1String("NTV")}, {}}},
     {}},
}};

// The product of a code (exact, case-sensitive match); null for any other text.
const RadarProductCode* FindProduct(const QString& code);

// The range class of a known code (exact, case-sensitive match); nothing for
// any other text.
std::optional<RangeClass> RangeClassOf(const QString& code);

// The items of the product list (Combo1), in list order.
QStringList ProductChoiceItems();

// The product code for a list index and the Long Range box. An index below 0
// is taken as 0, and so is any index past the end of the list. The rainfall
// products have no long-range form, so Long Range does not change them.
QString ProductForChoice(int index, bool longRange);

// Selecting one of the rainfall items unchecks Long Range: the window applies
// this when the list selection changes.
bool SelectionClearsLongRange(int index);

// The list index and Long Range box that choose a product: the reverse of
// ProductForChoice. Nothing for a text that is no product code.
struct ProductChoice {
    int index = 0;
    bool longRange = false;
};
std::optional<ProductChoice> ChoiceForProduct(const QString& code);

} // namespace nubivista::radar
