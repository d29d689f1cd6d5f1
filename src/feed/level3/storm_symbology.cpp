#include "feed/level3/storm_symbology.h"

#include "feed/level3/limits.h"
#include "feed/level3/packet_codes.h"

namespace nubivista::feed::level3 {

namespace {

using namespace packet;

// The products mark a value the radar could not compute so.
constexpr int kUnknown = -999;

DecodeError error(const QString& what, const ByteReader& r) {
    return {what, r.offset()};
}

// Positions count quarter kilometres east (I) and north (J).
StormPoint point(ByteReader& r) {
    const double east = r.i16() / 4.0;
    return {east, r.i16() / 4.0};
}

std::optional<int> known(int value) {
    return value == kUnknown ? std::nullopt : std::optional(value);
}

struct Walk {
    StormSymbols found;
    int packets = 0;
};

// The symbols inside a track packet: its markers, in order.
std::optional<DecodeError> readTrack(ByteReader& r, Walk& walk, std::vector<StormPoint>& track) {
    while (r.remaining() >= 4) {
        if (++walk.packets > kMaxPacketsPerProduct)
            return error(
                QStringLiteral("the product holds more than %1 packets").arg(kMaxPacketsPerProduct),
                r);
        const std::uint16_t code = r.u16();
        ByteReader data = r.slice(r.u16());
        if (r.failed())
            return error(QStringLiteral("a track's packet runs past its end"), r);
        if (code == kSymbol && data.remaining() >= 4)
            track.push_back(point(data));
        else if (code != kLinkedVector && code != kSymbol)
            return error(QStringLiteral("a track holds a packet of code %1").arg(code), data);
    }
    return std::nullopt;
}

std::optional<DecodeError> readPacket(std::uint16_t code, ByteReader& data, Walk& walk) {
    StormSymbols& found = walk.found;
    switch (code) {
    case kStormId: {
        const StormPoint at = point(data);
        const std::uint8_t first = data.u8();
        const std::uint8_t second = data.u8();
        if (data.failed())
            return error(QStringLiteral("a storm id packet is cut short"), data);
        const char id[2] = {char(first), char(second)};
        found.cells.push_back({QString::fromLatin1(id, 2).trimmed(), at, {}, {}});
        return std::nullopt;
    }
    case kPastTrack:
    case kForecastTrack: {
        // A track follows the id of its cell; the mesocyclones' tracks follow
        // their circulations' numbers instead, and are not kept.
        std::vector<StormPoint> unnamed;
        std::vector<StormPoint>& track = found.cells.empty()  ? unnamed
                                         : code == kPastTrack ? found.cells.back().past
                                                              : found.cells.back().forecast;
        return readTrack(data, walk, track);
    }
    case kHail: {
        StormSymbols::HailMark mark;
        mark.at = point(data);
        mark.probability = known(data.i16());
        mark.severeProbability = known(data.i16());
        mark.maxSizeIn = data.i16();
        if (data.failed())
            return error(QStringLiteral("a hail packet is cut short"), data);
        found.hail.push_back(mark);
        return std::nullopt;
    }
    case kPointFeature:
        while (data.remaining() >= 8) {
            const StormPoint at = point(data);
            const int type = data.i16();
            found.features.push_back({at, type, data.i16()});
        }
        return std::nullopt;
    case kCircle: {
        const StormPoint at = point(data);
        const double radius = data.i16() / 4.0;
        if (data.failed())
            return error(QStringLiteral("a circle packet is cut short"), data);
        found.circles.push_back({at, radius});
        return std::nullopt;
    }
    case kVortex:
    case kElevatedVortex:
        while (data.remaining() >= 4)
            (code == kVortex ? found.vortices : found.elevatedVortices).push_back(point(data));
        return std::nullopt;
    default: // text, symbols and lines on their own: nothing to keep
        return std::nullopt;
    }
}

bool hasLength(std::uint16_t code) {
    switch (code) {
    case kText:
    case kSymbol:
    case kLinkedVector:
    case kValuedText:
    case kVortex:
    case kStormId:
    case kHail:
    case kPointFeature:
    case kPastTrack:
    case kForecastTrack:
    case kCircle:
    case kElevatedVortex:
        return true;
    default:
        return false;
    }
}

} // namespace

std::variant<StormSymbols, DecodeError> readStormSymbology(ByteReader& r) {
    const std::int16_t divider = r.i16();
    const std::int16_t blockId = r.i16();
    r.u32(); // the block's length: the layers' own lengths bound them
    const int layers = r.i16();
    if (r.failed())
        return error(QStringLiteral("the symbology block's header is cut short"), r);
    if (divider != -1 || blockId != 1 || layers < 0 || layers > kMaxLayers)
        return error(QStringLiteral("the symbology block has an impossible header"), r);
    Walk walk;
    for (int layer = 0; layer < layers; ++layer) {
        const std::int16_t layerDivider = r.i16();
        ByteReader data = r.slice(r.u32());
        if (r.failed() || layerDivider != -1)
            return error(QStringLiteral("a symbology layer is cut short or has no divider"), r);
        int layerPackets = 0;
        while (data.remaining() >= 4) {
            if (++layerPackets > kMaxPacketsPerLayer || ++walk.packets > kMaxPacketsPerProduct)
                return error(QStringLiteral("a layer holds more than %1 packets, or the product "
                                            "more than %2")
                                 .arg(kMaxPacketsPerLayer)
                                 .arg(kMaxPacketsPerProduct),
                             data);
            const std::uint16_t code = data.u16();
            if (!hasLength(code))
                break; // no length to pass it by: the layer ends here
            ByteReader packet = data.slice(data.u16());
            if (data.failed())
                return error(QStringLiteral("a packet of code %1 runs past its layer").arg(code),
                             data);
            if (std::optional<DecodeError> failure = readPacket(code, packet, walk))
                return *failure;
        }
    }
    return std::move(walk.found);
}

} // namespace nubivista::feed::level3
