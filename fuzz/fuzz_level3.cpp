// Feeds arbitrary bytes to the Level III decoder. It must never crash or read
// outside them, and whatever it accepts must have the shape it promises.
#include "feed/level3/decode.h"
#include "feed/level3/symbology.h"

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
        require(error->offset <= size + (16u << 20));
        return 0;
    }
    const Product& product = std::get<Product>(result);
    require(product.null || !product.packets.empty());
    for (const Packet& packet : product.packets) {
        if (const auto* sweep = std::get_if<RadialSweep>(&packet)) {
            require(sweep->binCount >= 0 && sweep->binCount <= kMaxBins);
            for (const Radial& radial : sweep->radials)
                require(int(radial.levels.size()) == sweep->binCount);
        } else {
            require(std::get<RasterGrid>(packet).boxKm > 0);
        }
    }
    return 0;
}
