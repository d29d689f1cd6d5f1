#include "feed/level3/broadcast_frame.h"

#include <zlib.h>

namespace nubivista::feed::level3 {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The control block's first halfword: a flag in its top two bits, then its
// length in halfwords.
std::size_t controlBlockLength(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2 || (bytes[0] & 0xC0) != 0x40)
        return 0;
    const std::size_t length = 2u * (std::size_t(bytes[0] & 0x3F) << 8 | bytes[1]);
    return length <= 64 && length < bytes.size() ? length : 0;
}

} // namespace

bool startsZlibStream(Bytes bytes) {
    if (bytes.size() < 2)
        return false;
    const unsigned method = bytes[0];
    const unsigned flags = bytes[1];
    return (method & 0x0F) == 8 && (method >> 4) <= 7 && (method << 8 | flags) % 31 == 0;
}

std::variant<std::vector<std::uint8_t>, DecodeError>
unwrapBroadcast(Bytes wrapped, std::size_t offset, std::size_t maxBytes) {
    std::vector<std::uint8_t> out;
    std::size_t at = 0;
    while (at < wrapped.size() && startsZlibStream(wrapped.subspan(at))) {
        z_stream stream{};
        if (inflateInit(&stream) != Z_OK)
            return DecodeError{QStringLiteral("the broadcast frame cannot be expanded"),
                               offset + at};
        stream.next_in = const_cast<Bytef*>(wrapped.data() + at);
        stream.avail_in = static_cast<uInt>(wrapped.size() - at);
        int status = Z_OK;
        while (status == Z_OK) {
            if (out.size() >= maxBytes) {
                inflateEnd(&stream);
                return DecodeError{
                    QStringLiteral("the broadcast frame expands past %1 bytes").arg(maxBytes),
                    offset + at};
            }
            const std::size_t before = out.size();
            out.resize(std::min(maxBytes, before + kChunk));
            stream.next_out = out.data() + before;
            stream.avail_out = static_cast<uInt>(out.size() - before);
            status = inflate(&stream, Z_NO_FLUSH);
            out.resize(out.size() - stream.avail_out);
            if (status == Z_BUF_ERROR && stream.avail_in == 0)
                break;
            if (status == Z_BUF_ERROR)
                status = Z_OK; // the output was full; go on
        }
        const std::size_t consumed = stream.total_in;
        inflateEnd(&stream);
        if (status != Z_STREAM_END)
            return DecodeError{status == Z_BUF_ERROR || status == Z_OK
                                   ? QStringLiteral("the broadcast frame is cut short")
                                   : QStringLiteral("the broadcast frame is damaged"),
                               offset + at};
        at += consumed;
    }
    if (out.empty())
        return DecodeError{QStringLiteral("the broadcast frame holds nothing"), offset};
    out.erase(out.begin(), out.begin() + std::ptrdiff_t(controlBlockLength(out)));
    return out;
}

} // namespace nubivista::feed::level3
