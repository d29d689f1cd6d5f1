#pragma once

#include "feed/picture/indexed_image.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

namespace nubivista::feed::picture {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

using Palette = std::array<Rgb, 256>;

// Encodes the image as a GIF89a with a 256-colour global palette. Empty result on
// an encoder failure.
std::optional<QByteArray> encodeGif(const IndexedImage& image, const Palette& palette);

} // namespace nubivista::feed::picture
