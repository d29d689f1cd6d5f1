#include "feed/picture/indexed_image.h"

#include <algorithm>
#include <cstdlib>

namespace nubivista::feed::picture {

IndexedImage::IndexedImage(int width, int height, std::uint8_t background)
    : m_width(std::max(0, width)),
      m_height(std::max(0, height)),
      m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), background) {
}

std::uint8_t IndexedImage::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    return m_pixels[static_cast<std::size_t>(y) * m_width + x];
}

void IndexedImage::setPixel(int x, int y, std::uint8_t colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    m_pixels[static_cast<std::size_t>(y) * m_width + x] = colour;
}

void IndexedImage::fillRect(int x, int y, int width, int height, std::uint8_t colour) {
    const int left = std::max(0, x);
    const int top = std::max(0, y);
    const int right = std::min(m_width, x + width);
    const int bottom = std::min(m_height, y + height);
    for (int row = top; row < bottom; ++row) {
        auto begin = m_pixels.begin() + static_cast<std::ptrdiff_t>(row) * m_width;
        std::fill(begin + left, begin + std::max(left, right), colour);
    }
}

void IndexedImage::drawLine(int x0, int y0, int x1, int y1, std::uint8_t colour) {
    // Bresenham, all octants.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
        setPixel(x0, y0, colour);
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

void IndexedImage::drawCircle(int cx, int cy, int radius, std::uint8_t colour) {
    // Midpoint circle.
    int x = radius;
    int y = 0;
    int error = 1 - radius;
    while (x >= y) {
        const int points[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                                  {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& point : points) {
            setPixel(cx + point[0], cy + point[1], colour);
        }
        ++y;
        if (error < 0) {
            error += 2 * y + 1;
        } else {
            --x;
            error += 2 * (y - x) + 1;
        }
    }
}

void IndexedImage::fillCircle(int cx, int cy, int radius, std::uint8_t colour) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (dx * dx + dy * dy <= radius * radius) {
                setPixel(cx + dx, cy + dy, colour);
            }
        }
    }
}

} // namespace nubivista::feed::picture
