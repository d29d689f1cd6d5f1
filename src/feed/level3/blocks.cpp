#include "feed/level3/blocks.h"

#include <QRegularExpression>

namespace nubivista::feed::level3 {

namespace {

constexpr std::size_t kHeadingSearch = 64;

QString latin1(Bytes bytes) {
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<qsizetype>(bytes.size()));
}

} // namespace

std::optional<HeadingFound> readWmoHeading(Bytes file) {
    // Two lines, each ending in CR CR LF: "SDUS53 KLSX 041639" and "N0RLSX".
    // Before them may stand a line with a transmission sequence number, or a
    // satellite broadcast's frame of two short lines ("\x01", then "169 ").
    const QString start = latin1(file.first(std::min(file.size(), kHeadingSearch * 2)));
    static const QRegularExpression heading(QStringLiteral(
        "^(?:[^\\n]{0,16}\\r\\r\\n){0,2}([A-Z]{4}\\d{2}) ([A-Z]{4}) (\\d{6})(?: [A-Z]{3})?\\r\\r\\n"
        "([A-Z0-9]{4,6}) *\\r\\r\\n"));
    const QRegularExpressionMatch match = heading.match(start);
    if (!match.hasMatch())
        return std::nullopt;
    return HeadingFound{
        {match.captured(1), match.captured(2), match.captured(3), match.captured(4)},
        static_cast<std::size_t>(match.capturedEnd(0))};
}

QDateTime productTime(int days, std::int64_t seconds) {
    const QDate epoch(1970, 1, 1);
    return QDateTime(epoch.addDays(days - 1), QTime(0, 0), Qt::UTC).addSecs(seconds);
}

std::variant<MessageHeader, DecodeError> readMessageHeader(ByteReader& r) {
    const std::size_t at = r.offset();
    MessageHeader h;
    h.productCode = r.i16();
    const int days = r.u16();
    const std::int32_t seconds = r.i32();
    h.length = r.u32();
    h.sourceId = r.i16();
    r.i16(); // destination
    h.blockCount = r.i16();
    if (r.failed())
        return DecodeError{QStringLiteral("the message header is cut short"), at};
    h.messageTime = productTime(days, seconds);
    return h;
}

std::variant<DescriptionBlock, DecodeError> readDescriptionBlock(ByteReader& r) {
    const std::size_t at = r.offset();
    DescriptionBlock d;
    const std::int16_t divider = r.i16();
    d.latitude = r.i32() / 1000.0;
    d.longitude = r.i32() / 1000.0;
    d.heightFeet = r.i16();
    d.productCode = r.i16();
    d.operationalMode = r.i16();
    d.volumeCoveragePattern = r.i16();
    d.sequenceNumber = r.i16();
    d.volumeScanNumber = r.i16();
    const int scanDays = r.u16();
    const std::uint32_t scanSeconds = r.u32();
    const int generationDays = r.u16();
    const std::uint32_t generationSeconds = r.u32();
    d.dependent[0] = r.i16();
    d.dependent[1] = r.i16();
    d.elevationNumber = r.i16();
    d.dependent[2] = r.i16();
    for (std::uint16_t& threshold : d.thresholds)
        threshold = r.u16();
    for (std::size_t i = 3; i < d.dependent.size(); ++i)
        d.dependent[i] = r.i16();
    r.u16(); // version and spot blank
    d.symbologyOffset = r.u32();
    d.graphicOffset = r.u32();
    d.tabularOffset = r.u32();
    if (r.failed())
        return DecodeError{QStringLiteral("the product description block is cut short"), at};
    if (divider != -1)
        return DecodeError{QStringLiteral("the product description block does not start with -1"),
                           at};
    if (scanSeconds >= 86400 || generationSeconds >= 86400)
        return DecodeError{QStringLiteral("the scan time is not a time of day"), at};
    d.volumeScanTime = productTime(scanDays, scanSeconds);
    d.generationTime = productTime(generationDays, generationSeconds);
    // Halfword 51 says how the rest is compressed, 52 and 53 its size.
    d.bzip2 = d.dependent[7] == 1;
    d.uncompressedSize = static_cast<std::uint32_t>(static_cast<std::uint16_t>(d.dependent[8]))
                             << 16 |
                         static_cast<std::uint16_t>(d.dependent[9]);
    return d;
}

} // namespace nubivista::feed::level3
