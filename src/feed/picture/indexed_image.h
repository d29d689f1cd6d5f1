#pragma once

#include <cstdint>
#include <vector>

namespace nubivista::feed::picture {

// An 8-bit palette image (one byte per pixel, row-major), the form GIF stores.
// Drawing outside the image is clipped.
class IndexedImage {
public:
    IndexedImage(int width, int height, std::uint8_t background = 0);

    int width() const { return m_width; }
    int height() const { return m_height; }
    const std::vector<std::uint8_t>& pixels() const { return m_pixels; }

    std::uint8_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint8_t colour);
    void fillRect(int x, int y, int width, int height, std::uint8_t colour);
    void drawLine(int x0, int y0, int x1, int y1, std::uint8_t colour);
    void drawCircle(int cx, int cy, int radius, std::uint8_t colour);
    void fillCircle(int cx, int cy, int radius, std::uint8_t colour);

private:
    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_pixels;
};

} // namespace nubivista::feed::picture
