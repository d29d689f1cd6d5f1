#include "feed/level3/symbology.h"

#include "feed/level3/packet_codes.h"

namespace nubivista::feed::level3 {

namespace {

using namespace packet;

DecodeError error(const char* what, const ByteReader& r) {
    return {QString::fromLatin1(what), r.offset()};
}

// What the product has decoded so far, against the caps in limits.h.
struct Budget {
    int packets = 0;
    int dataPackets = 0;
    int bins = 0;

    // Takes count bins when they fit in what is left.
    bool take(std::size_t count) {
        if (count > static_cast<std::size_t>(kMaxDecodedBins - bins))
            return false;
        bins += static_cast<int>(count);
        return true;
    }
};

DecodeError overBins(const ByteReader& r) {
    return {QStringLiteral("the product holds more than %1 range bins").arg(kMaxDecodedBins),
            r.offset()};
}

// Each byte: a run length in its high nibble, a level code in its low one.
// The bins the runs cover, up to limit.
std::size_t runBins(Bytes runs, std::size_t limit) {
    std::size_t total = 0;
    for (const std::uint8_t run : runs)
        total += run >> 4;
    return std::min(total, limit);
}

void appendRuns(Bytes runs, std::vector<std::uint8_t>& levels, std::size_t limit) {
    for (const std::uint8_t run : runs) {
        const std::size_t count = std::min<std::size_t>(run >> 4, limit - levels.size());
        levels.insert(levels.end(), count, static_cast<std::uint8_t>(run & 0x0F));
    }
}

std::variant<Packet, DecodeError> readRadials(ByteReader& r, bool digital, Budget& budget) {
    RadialSweep sweep;
    sweep.digital = digital;
    sweep.firstBin = r.i16();
    sweep.binCount = r.i16();
    r.i16(); // the sweep's centre on a screen
    r.i16();
    r.i16(); // range scale on a screen
    const int radials = r.i16();
    if (r.failed())
        return error("a radial packet's header is cut short", r);
    if (sweep.binCount < 0 || sweep.binCount > kMaxBins || sweep.firstBin < 0 ||
        sweep.firstBin > kMaxBins)
        return error("a radial packet has an impossible number of range bins", r);
    if (radials < 0 || radials > kMaxRadials)
        return error("a radial packet has an impossible number of radials", r);
    const auto bins = static_cast<std::size_t>(sweep.binCount);
    // Each radial's header must be there before room is made for them all.
    if (r.remaining() < 6u * static_cast<std::size_t>(radials))
        return error("a radial runs past the end of its packet", r);
    sweep.radials.reserve(static_cast<std::size_t>(radials));
    for (int i = 0; i < radials; ++i) {
        const std::uint16_t size = r.u16(); // halfwords of runs, or bytes of levels
        Radial radial;
        radial.startAngle = r.i16() / 10.0;
        radial.angleDelta = r.i16() / 10.0;
        const std::size_t bytes = digital ? size : 2u * size;
        const Bytes data = r.take(bytes);
        if (digital && (size & 1))
            r.skip(1); // radials keep to whole halfwords
        if (r.failed())
            return error("a radial runs past the end of its packet", r);
        // Only the bins the radial holds: past them there is no echo.
        const std::size_t held = digital ? std::min(data.size(), bins) : runBins(data, bins);
        if (!budget.take(held))
            return overBins(r);
        radial.levels.reserve(held);
        if (digital)
            radial.levels.assign(data.begin(), data.begin() + held);
        else
            appendRuns(data, radial.levels, held);
        sweep.radials.push_back(std::move(radial));
    }
    return sweep;
}

std::variant<Packet, DecodeError> readRaster(ByteReader& r, Budget& budget) {
    const std::uint16_t flags1 = r.u16();
    const std::uint16_t flags2 = r.u16();
    RasterGrid grid;
    r.skip(4); // start on a screen
    const int xScale = r.i16();
    r.i16(); // fractional parts
    const int yScale = r.i16();
    r.i16();
    const int rows = r.i16();
    r.i16(); // packing descriptor
    if (r.failed())
        return error("a raster packet's header is cut short", r);
    if (flags1 != 0x8000 || flags2 != 0x00C0)
        return error("a raster packet has unknown flags", r);
    if (rows < 0 || rows > kMaxRasterRows || xScale <= 0 || yScale <= 0)
        return error("a raster packet has an impossible size", r);
    if (r.remaining() < 2u * static_cast<std::size_t>(rows))
        return error("a raster row runs past the end of its packet", r);
    grid.rows.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        const std::uint16_t bytes = r.u16();
        const Bytes runs = r.take(bytes);
        if (r.failed())
            return error("a raster row runs past the end of its packet", r);
        const std::size_t held = runBins(runs, kMaxBins);
        if (!budget.take(held))
            return overBins(r);
        std::vector<std::uint8_t> row;
        row.reserve(held);
        appendRuns(runs, row, held);
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

// A text packet: its length in bytes, a colour value (packet 8 only), the
// position, then the characters.
std::variant<QString, DecodeError> readText(ByteReader& r, bool valued) {
    const std::uint16_t length = r.u16();
    const std::size_t before = valued ? 6 : 4;
    if (r.failed() || length < before)
        return error("a text packet's header is cut short", r);
    r.skip(before);
    const Bytes characters = r.take(length - before);
    if (r.failed())
        return error("a text packet runs past the end of its layer", r);
    QString text = QString::fromLatin1(reinterpret_cast<const char*>(characters.data()),
                                       static_cast<qsizetype>(characters.size()));
    return text.simplified();
}

} // namespace

std::variant<Symbology, DecodeError> readSymbology(ByteReader& r) {
    const std::int16_t divider = r.i16();
    const std::int16_t blockId = r.i16();
    const std::uint32_t blockLength = r.u32();
    const int layers = r.i16();
    if (r.failed())
        return error("the symbology block's header is cut short", r);
    if (divider != -1 || blockId != 1)
        return error("the symbology block does not start with -1 and 1", r);
    if (blockLength < 10 || layers < 0 || layers > kMaxLayers)
        return error("the symbology block has an impossible size", r);

    Symbology found;
    Budget budget;
    for (int layer = 0; layer < layers; ++layer) {
        const std::int16_t layerDivider = r.i16();
        const std::uint32_t layerLength = r.u32();
        if (r.failed() || layerDivider != -1)
            return error("a symbology layer does not start with -1", r);
        ByteReader data = r.slice(layerLength);
        if (r.failed())
            return error("a symbology layer runs past the end of the product", r);
        int layerPackets = 0;
        while (data.remaining() >= 2) {
            if (++layerPackets > kMaxPacketsPerLayer)
                return {DecodeError{
                    QStringLiteral("a layer holds more than %1 packets").arg(kMaxPacketsPerLayer),
                    data.offset()}};
            if (++budget.packets > kMaxPacketsPerProduct)
                return {DecodeError{QStringLiteral("the product holds more than %1 packets")
                                        .arg(kMaxPacketsPerProduct),
                                    data.offset()}};
            const std::uint16_t code = data.u16();
            if (code == kText || code == kValuedText) {
                auto text = readText(data, code == kValuedText);
                if (auto* failure = std::get_if<DecodeError>(&text))
                    return *failure;
                if (!std::get<QString>(text).isEmpty())
                    found.texts.push_back(std::get<QString>(std::move(text)));
                continue;
            }
            const bool radials = code == kRunLengthRadials || code == kDigitalRadials;
            if (!radials && code != kRasterA && code != kRasterB)
                break; // symbols, contours: not drawn; the layer ends here
            if (++budget.dataPackets > kMaxDataPackets)
                return {DecodeError{QStringLiteral("the product holds more than %1 radial or "
                                                   "raster packets")
                                        .arg(kMaxDataPackets),
                                    data.offset()}};
            std::variant<Packet, DecodeError> packet =
                radials ? readRadials(data, code == kDigitalRadials, budget)
                        : readRaster(data, budget);
            if (auto* failure = std::get_if<DecodeError>(&packet))
                return *failure;
            found.packets.push_back(std::get<Packet>(std::move(packet)));
        }
    }
    return found;
}

} // namespace nubivista::feed::level3
