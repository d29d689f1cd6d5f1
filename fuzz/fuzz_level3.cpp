// Feeds arbitrary bytes to the Level III decoder. It must never crash or read
// outside them, and whatever it accepts must have the shape it promises.
#include "feed/level3/decode.h"
#include "feed/level3/limits.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace nubivista::feed::level3;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodeResult result = decodeLevel3(std::span(data, size));
    if (const auto* error = std::get_if<DecodeError>(&result)) {
        require(!error->what.isEmpty());
        require(error->offset <= size + kMaxUncompressed);
        return 0;
    }
    // Whatever is accepted stays within the decoder's caps, however it was built.
    const Product& product = std::get<Product>(result);
    require(product.null || !product.packets.empty());
    require(product.packets.size() <= std::size_t(kMaxDataPackets));
    std::size_t bins = 0;
    for (const Packet& packet : product.packets) {
        if (const auto* sweep = std::get_if<RadialSweep>(&packet)) {
            require(sweep->binCount >= 0 && sweep->binCount <= kMaxBins);
            require(sweep->radials.size() <= std::size_t(kMaxRadials));
            for (const Radial& radial : sweep->radials) {
                require(radial.levels.size() <= std::size_t(sweep->binCount));
                bins += radial.levels.size();
            }
        } else {
            const RasterGrid& grid = std::get<RasterGrid>(packet);
            require(grid.boxKm > 0 && grid.rows.size() <= std::size_t(kMaxRasterRows));
            for (const auto& row : grid.rows) {
                require(row.size() <= std::size_t(kMaxBins));
                bins += row.size();
            }
        }
    }
    require(bins <= std::size_t(kMaxDecodedBins));
    if (product.storms) {
        // Every figure is a packet, and nested ones count too.
        const StormSymbols& symbols = product.storms->symbols;
        std::size_t figures = symbols.cells.size() + symbols.hail.size() + symbols.circles.size();
        for (const StormSymbols::Cell& cell : symbols.cells)
            figures += cell.past.size() + cell.forecast.size();
        require(figures <= std::size_t(kMaxPacketsPerProduct));
        require(product.packets.empty());
    }
    return 0;
}
