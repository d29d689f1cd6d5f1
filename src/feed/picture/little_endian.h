#pragma once
// Reads the little-endian files the build makes beside the feed, with bounds
// checks: a read past the end fails and gives 0.
#include <bit>
#include <cstdint>
#include <span>

namespace nubivista::feed::picture {

class LittleEndian {
public:
    explicit LittleEndian(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t remaining() const { return ok_ ? bytes_.size() - at_ : 0; }
    std::uint64_t read(int size) {
        if (!ok_ || bytes_.size() - at_ < static_cast<std::size_t>(size)) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | bytes_[at_ + static_cast<std::size_t>(i)];
        at_ += static_cast<std::size_t>(size);
        return value;
    }
    double f64() { return std::bit_cast<double>(read(8)); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

} // namespace nubivista::feed::picture
