#pragma once
// What every source produces for a picture: one value per pixel of the map
// area, in dBZ or in inches of rain, or none where nothing was seen.
#include "feed/picture/frame_geometry.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace nubivista::feed::picture {

enum class EchoKind { Reflectivity, Rainfall };

class EchoGrid {
public:
    explicit EchoGrid(EchoKind kind)
        : kind_(kind),
          values_(static_cast<std::size_t>(kImageWidth) * kMapHeight,
                  std::numeric_limits<float>::quiet_NaN()) {}

    EchoKind kind() const { return kind_; }
    static bool inMap(int x, int y) {
        return x >= 0 && x < kImageWidth && y >= kMapTop && y < kMapBottom;
    }
    // NaN where nothing was seen.
    float at(int x, int y) const { return inMap(x, y) ? values_[index(x, y)] : kNone; }
    void set(int x, int y, float value) {
        if (inMap(x, y))
            values_[index(x, y)] = value;
    }
    static bool none(float value) { return std::isnan(value); }

    static constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

private:
    static std::size_t index(int x, int y) {
        return static_cast<std::size_t>(y - kMapTop) * kImageWidth + static_cast<std::size_t>(x);
    }
    EchoKind kind_;
    std::vector<float> values_;
};

} // namespace nubivista::feed::picture
