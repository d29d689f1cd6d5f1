#pragma once
// A big-endian reader over a byte view for the radar product files. Every
// read is checked against the end; the first read that would pass it sets a
// failure that stays, and later reads give zero, so a decoder reads a whole
// block and asks once whether it was all there.
#include <cstddef>
#include <cstdint>
#include <span>

namespace nubivista::feed::level3 {

using Bytes = std::span<const std::uint8_t>;

class ByteReader {
public:
    // base: where bytes[0] stands in the whole file, for error offsets.
    explicit ByteReader(Bytes bytes, std::size_t base = 0) : bytes_(bytes), base_(base) {}

    bool failed() const { return failed_; }
    // The file offset of the first read that failed, else of the next read.
    std::size_t offset() const { return base_ + (failed_ ? failedAt_ : position_); }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - position_; }

    std::uint8_t u8() { return has(1) ? bytes_[position_++] : std::uint8_t{0}; }
    std::uint16_t u16() {
        if (!has(2))
            return 0;
        const auto value =
            static_cast<std::uint16_t>(bytes_[position_] << 8 | bytes_[position_ + 1]);
        position_ += 2;
        return value;
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32() {
        const std::uint32_t high = u16();
        return high << 16 | u16();
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

    void skip(std::size_t count) {
        if (has(count))
            position_ += count;
    }
    // Moves to an offset inside the view.
    void seek(std::size_t position) {
        if (failed_)
            return;
        if (position > bytes_.size()) {
            fail();
            return;
        }
        position_ = position;
    }
    // The next count bytes as a reader of their own; this one moves past them.
    ByteReader slice(std::size_t count) {
        if (!has(count))
            return ByteReader({}, offset(), true);
        ByteReader part(bytes_.subspan(position_, count), base_ + position_);
        position_ += count;
        return part;
    }
    Bytes take(std::size_t count) {
        if (!has(count))
            return {};
        const Bytes part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }

private:
    ByteReader(Bytes bytes, std::size_t base, bool failed)
        : bytes_(bytes), base_(base), failed_(failed) {}

    bool has(std::size_t count) {
        if (failed_)
            return false;
        if (count > bytes_.size() - position_) {
            fail();
            return false;
        }
        return true;
    }
    void fail() {
        failed_ = true;
        failedAt_ = position_;
    }

    Bytes bytes_;
    std::size_t base_ = 0;
    std::size_t position_ = 0;
    std::size_t failedAt_ = 0;
    bool failed_ = false;
};

} // namespace nubivista::feed::level3
