#pragma once
// Level III products written from numbers, to hurt a decoder: an optional WMO
// heading, the 18-byte message header, the 102-byte product description block
// and a symbology block of one layer of radial packets, with everything after
// the two blocks bzip2-compressed as N0Q products have it. The feed's attack
// benchmark serves them from its stand-in upstreams; tests may use them too.
// Only Qt Core and libbz2: nothing of the feed's own code.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <bzlib.h>
#include <cmath>
#include <cstdint>
#include <optional>

namespace nubivista::bench::hostile {

inline constexpr qsizetype kMessageHeaderBytes = 18;
// The message header and the description block: what a compressed product
// keeps plain before its bzip2 stream.
inline constexpr qsizetype kBlocksBytes = 120;
// The symbology block's header (divider, id, length, layer count) and one
// layer's (divider, length).
inline constexpr qsizetype kSymbologyHeaderBytes = 10;
inline constexpr qsizetype kLayerHeaderBytes = 6;
// Code, first bin, bin count, two screen positions, scale, radial count.
inline constexpr qsizetype kRadialPacketHeaderBytes = 14;
// Per radial: its size, start angle and angle step.
inline constexpr qsizetype kRadialHeaderBytes = 6;

inline constexpr std::uint16_t kRunLengthPacket = 0xAF1F;
inline constexpr std::uint16_t kDigitalPacket = 16;

// Where a product was made, as its description block says.
struct Radar {
    double latitude = 0;
    double longitude = 0;
    int heightFeet = 0;
    const char* office = ""; // the heading's office, "KLSX"
    const char* site = "";   // the AWIPS id's site, "LSX"
};

inline constexpr Radar kKlsx{38.699, -90.683, 608, "KLSX", "LSX"};

// One radial packet, repeated: radials of binCount bins, each carrying
// dataBytes bytes (digital: one level per byte; run-length: the bytes are
// runs, so dataBytes must be even).
struct RadialPackets {
    int packets = 1;
    int radials = 360;
    int binCount = 230;
    int dataBytes = 0;
    bool digital = true;
    std::uint8_t level = 100; // the level every datum stands for
};

inline qsizetype radialPacketBytes(const RadialPackets& shape) {
    const qsizetype perRadial = kRadialHeaderBytes + shape.dataBytes + (shape.dataBytes & 1);
    return kRadialPacketHeaderBytes + qsizetype(shape.radials) * perRadial;
}

// How many packets of this shape fit in a symbology block of at most bytes.
inline int packetsFitting(qsizetype bytes, const RadialPackets& shape) {
    const qsizetype room = bytes - kSymbologyHeaderBytes - kLayerHeaderBytes;
    return room <= 0 ? 0 : int(room / radialPacketBytes(shape));
}

namespace detail {

inline void put16(QByteArray& out, std::uint16_t value) {
    const char bytes[2] = {char(value >> 8), char(value & 0xFF)};
    out.append(bytes, 2);
}

inline void put32(QByteArray& out, std::uint32_t value) {
    put16(out, std::uint16_t(value >> 16));
    put16(out, std::uint16_t(value & 0xFFFF));
}

// Days since 1 January 1970 (day 1) and seconds after midnight, UTC.
inline std::uint16_t productDays(const QDateTime& t) {
    return std::uint16_t(QDate(1970, 1, 1).daysTo(t.toUTC().date()) + 1);
}

inline std::uint32_t productSeconds(const QDateTime& t) {
    return std::uint32_t(t.toUTC().time().msecsSinceStartOfDay() / 1000);
}

} // namespace detail

// The symbology block: one layer holding the packets, repeated as asked.
inline QByteArray radialSymbology(const RadialPackets& shape) {
    QByteArray packet;
    packet.reserve(radialPacketBytes(shape));
    detail::put16(packet, shape.digital ? kDigitalPacket : kRunLengthPacket);
    detail::put16(packet, 0);                             // first bin
    detail::put16(packet, std::uint16_t(shape.binCount)); // bins per radial
    detail::put16(packet, 256);                           // centre on a screen
    detail::put16(packet, 280);
    detail::put16(packet, 999); // range scale on a screen
    detail::put16(packet, std::uint16_t(shape.radials));
    const int step = shape.radials > 0 ? std::max(1, 3600 / shape.radials) : 10;
    // A run-length byte stands for fifteen bins of the level.
    const char datum = shape.digital ? char(shape.level) : char(0xF0 | (shape.level & 0x0F));
    const QByteArray data(shape.dataBytes + (shape.dataBytes & 1), datum);
    for (int i = 0; i < shape.radials; ++i) {
        detail::put16(packet, std::uint16_t(shape.digital ? shape.dataBytes : shape.dataBytes / 2));
        detail::put16(packet, std::uint16_t((i * step) % 3600)); // tenths of a degree
        detail::put16(packet, std::uint16_t(step));
        packet += data;
    }
    const qsizetype layer = packet.size() * shape.packets;
    QByteArray block;
    block.reserve(kSymbologyHeaderBytes + kLayerHeaderBytes + layer);
    detail::put16(block, 0xFFFF);
    detail::put16(block, 1);
    detail::put32(block, std::uint32_t(kSymbologyHeaderBytes + kLayerHeaderBytes + layer));
    detail::put16(block, 1); // layers
    detail::put16(block, 0xFFFF);
    detail::put32(block, std::uint32_t(layer));
    for (int i = 0; i < shape.packets; ++i)
        block += packet;
    return block;
}

inline QByteArray bzip2(const QByteArray& plain) {
    // bzip2's own bound: 1 % and 600 bytes over the input.
    unsigned int size = unsigned(plain.size() + plain.size() / 100 + 600);
    QByteArray packed(qsizetype(size), Qt::Uninitialized);
    const int status =
        BZ2_bzBuffToBuffCompress(packed.data(), &size, const_cast<char*>(plain.constData()),
                                 unsigned(plain.size()), 9, 0, 30);
    if (status != BZ_OK)
        return {};
    packed.truncate(qsizetype(size));
    return packed;
}

// Sixteen-level thresholds of a 16-level reflectivity product: 0 no data,
// then 5 dBZ steps from 5.
inline std::array<std::uint16_t, 16> sixteenLevelThresholds() {
    std::array<std::uint16_t, 16> t{};
    t[0] = 0x8002;
    for (std::size_t i = 1; i < t.size(); ++i)
        t[i] = std::uint16_t(5 * i);
    return t;
}

// A digital reflectivity product's: -32 dBZ, 0.5 dBZ steps, 254 levels.
inline std::array<std::uint16_t, 16> digitalThresholds() {
    std::array<std::uint16_t, 16> t{};
    t[0] = std::uint16_t(std::int16_t(-320));
    t[1] = 5;
    t[2] = 254;
    return t;
}

struct ProductShape {
    int code = 94;
    const char* awips = "N0Q"; // the heading's product, before the site
    QDateTime scan;            // the volume scan time, UTC
    Radar radar = kKlsx;
    bool heading = true; // as the product tree serves it
    bool bzip2 = false;  // everything after the blocks compressed
    std::array<std::uint16_t, 16> thresholds = digitalThresholds();
};

// The whole product file around a symbology block.
inline QByteArray product(const ProductShape& shape, const QByteArray& symbology) {
    const QByteArray body = shape.bzip2 ? bzip2(symbology) : symbology;
    QByteArray out;
    if (shape.heading) {
        const QDateTime t = shape.scan.toUTC();
        out += QStringLiteral("SDUS23 %1 %2\r\r\n%3%4\r\r\n")
                   .arg(QLatin1String(shape.radar.office), t.toString(QStringLiteral("ddHHmm")),
                        QLatin1String(shape.awips), QLatin1String(shape.radar.site))
                   .toLatin1();
    }
    const std::uint16_t days = detail::productDays(shape.scan);
    const std::uint32_t seconds = detail::productSeconds(shape.scan);
    // The message header.
    detail::put16(out, std::uint16_t(shape.code));
    detail::put16(out, days);
    detail::put32(out, seconds);
    detail::put32(out, std::uint32_t(kBlocksBytes + body.size()));
    detail::put16(out, 0); // source
    detail::put16(out, 0); // destination
    detail::put16(out, 3); // blocks
    // The product description block.
    detail::put16(out, 0xFFFF);
    detail::put32(out, std::uint32_t(std::int32_t(std::lround(shape.radar.latitude * 1000))));
    detail::put32(out, std::uint32_t(std::int32_t(std::lround(shape.radar.longitude * 1000))));
    detail::put16(out, std::uint16_t(shape.radar.heightFeet));
    detail::put16(out, std::uint16_t(shape.code));
    detail::put16(out, 2);  // operational mode: precipitation
    detail::put16(out, 12); // volume coverage pattern
    detail::put16(out, 1);  // sequence number
    detail::put16(out, 1);  // volume scan number
    detail::put16(out, days);
    detail::put32(out, seconds);
    detail::put16(out, days); // generation time
    detail::put32(out, seconds);
    detail::put16(out, 0); // halfword 27
    detail::put16(out, 0); // halfword 28
    detail::put16(out, 1); // elevation number
    detail::put16(out, 5); // halfword 30: the elevation angle, tenths
    for (const std::uint16_t threshold : shape.thresholds)
        detail::put16(out, threshold);
    for (int halfword = 47; halfword <= 50; ++halfword)
        detail::put16(out, 0);
    // Halfword 51 marks bzip2, 52 and 53 the size it expands to.
    detail::put16(out, shape.bzip2 ? 1 : 0);
    detail::put32(out, shape.bzip2 ? std::uint32_t(symbology.size()) : 0);
    detail::put16(out, 0);                               // version, spot blank
    detail::put32(out, std::uint32_t(kBlocksBytes / 2)); // symbology: right after
    detail::put32(out, 0);                               // no graphic block
    detail::put32(out, 0);                               // no tabular block
    out += body;
    return out;
}

// Where the message header starts in a real product file: after its heading,
// found as the place where the description block's divider and product code
// stand at their distances from the header's own code.
inline std::optional<qsizetype> messageStart(const QByteArray& file) {
    const auto at16 = [&](qsizetype i) {
        return qFromBigEndian<std::uint16_t>(file.constData() + i);
    };
    for (qsizetype i = 0; i + kBlocksBytes <= file.size() && i < 256; ++i)
        if (at16(i + kMessageHeaderBytes) == 0xFFFF && at16(i) == at16(i + 30) && at16(i) != 0)
            return i;
    return std::nullopt;
}

// A real product moved to another volume scan time. Nothing when the file
// holds no product the search above recognises.
inline QByteArray retimed(QByteArray file, const QDateTime& scan) {
    const std::optional<qsizetype> start = messageStart(file);
    if (!start)
        return {};
    qToBigEndian(detail::productDays(scan), file.data() + *start + 40);
    qToBigEndian(detail::productSeconds(scan), file.data() + *start + 42);
    return file;
}

} // namespace nubivista::bench::hostile
