#pragma once

#include "feed/picture/indexed_image.h"

#include <cstdint>
#include <string_view>

namespace nubivista::feed::picture {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = 6; // one blank column between characters

// Lower-case letters print as capitals; characters without a glyph print as blanks.
int textWidth(std::string_view text, int scale = 1);
void drawText(IndexedImage& image, int x, int y, std::string_view text, std::uint8_t colour,
              int scale = 1);

} // namespace nubivista::feed::picture
