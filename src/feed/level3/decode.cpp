#include "feed/level3/decode.h"

#include "feed/level3/blocks.h"
#include "feed/level3/broadcast_frame.h"
#include "feed/level3/level_values.h"
#include "feed/level3/limits.h"
#include "feed/level3/product_codes.h"
#include "feed/level3/storm_symbology.h"
#include "feed/level3/storm_tables.h"
#include "feed/level3/symbology.h"

#include <bzlib.h>
#include <cmath>
#include <new>
#include <vector>

namespace nubivista::feed::level3 {

namespace {

// The message with its compressed part expanded, so that the description
// block's offsets hold for it.
std::variant<std::vector<std::uint8_t>, DecodeError>
expand(Bytes message, const DescriptionBlock& d, std::size_t messageStart) {
    const std::size_t at = messageStart + kBlocksSize;
    if (d.uncompressedSize == 0 || d.uncompressedSize > kMaxUncompressed)
        return DecodeError{QStringLiteral("the compressed symbology has an impossible size"),
                           messageStart + kBlocksSize - 4};
    std::vector<std::uint8_t> out(kBlocksSize + d.uncompressedSize);
    std::copy(message.begin(), message.begin() + kBlocksSize, out.begin());
    const Bytes compressed = message.subspan(kBlocksSize);
    unsigned int produced = d.uncompressedSize;
    const int status = BZ2_bzBuffToBuffDecompress(
        reinterpret_cast<char*>(out.data() + kBlocksSize), &produced,
        const_cast<char*>(reinterpret_cast<const char*>(compressed.data())),
        static_cast<unsigned int>(compressed.size()), 0, 0);
    switch (status) {
    case BZ_OK:
        break;
    case BZ_OUTBUFF_FULL:
        return DecodeError{QStringLiteral("the bzip2 block holds more than its stated size"), at};
    case BZ_UNEXPECTED_EOF:
        return DecodeError{QStringLiteral("the bzip2 block is cut short"), at};
    default:
        return DecodeError{QStringLiteral("the bzip2 block is damaged"), at};
    }
    out.resize(kBlocksSize + produced);
    return out;
}

// A storm product's figures and tables, each where its offset says.
DecodeResult readStorms(Product product, Bytes message, std::size_t messageStart) {
    StormReport report;
    const DescriptionBlock& d = product.description;
    const auto blockAt = [&](std::uint32_t offset) -> std::optional<ByteReader> {
        const std::size_t at = 2u * offset;
        if (offset == 0 || at < kBlocksSize || at >= message.size())
            return std::nullopt;
        return ByteReader(message.subspan(at), messageStart + at);
    };
    if (d.symbologyOffset != 0) {
        std::optional<ByteReader> symbols = blockAt(d.symbologyOffset);
        if (!symbols)
            return DecodeError{
                QStringLiteral("the symbology block's offset points outside the product"),
                messageStart + kMessageHeaderSize + 90};
        auto read = readStormSymbology(*symbols);
        if (auto* failure = std::get_if<DecodeError>(&read))
            return *failure;
        report.symbols = std::get<StormSymbols>(std::move(read));
    }
    if (d.tabularOffset != 0) {
        std::optional<ByteReader> table = blockAt(d.tabularOffset);
        if (!table)
            return DecodeError{
                QStringLiteral("the tabular block's offset points outside the product"),
                messageStart + kMessageHeaderSize + 98};
        auto pages = readTabularBlock(*table);
        if (auto* failure = std::get_if<DecodeError>(&pages))
            return *failure;
        report.tables = readStormTables(d.productCode, std::get<TextPages>(pages));
    }
    product.storms = std::move(report);
    return product;
}

// nested: the bytes are a broadcast frame's content, unwrapped already.
DecodeResult decodeProduct(Bytes file, bool nested) {
    Product product;
    std::size_t messageStart = 0;
    if (const std::optional<HeadingFound> found = readWmoHeading(file)) {
        product.heading = found->heading;
        messageStart = found->messageStart;
    }
    if (!nested && startsZlibStream(file.subspan(messageStart))) {
        auto unwrapped =
            unwrapBroadcast(file.subspan(messageStart), messageStart, kMaxUncompressed);
        if (auto* failure = std::get_if<DecodeError>(&unwrapped))
            return *failure;
        DecodeResult inner = decodeProduct(std::get<std::vector<std::uint8_t>>(unwrapped), true);
        if (auto* unwrappedProduct = std::get_if<Product>(&inner);
            unwrappedProduct && unwrappedProduct->heading.awipsId.isEmpty())
            unwrappedProduct->heading = product.heading;
        return inner;
    }
    ByteReader reader(file.subspan(messageStart), messageStart);
    auto header = readMessageHeader(reader);
    if (auto* failure = std::get_if<DecodeError>(&header))
        return *failure;
    product.header = std::get<MessageHeader>(header);
    const std::size_t available = file.size() - messageStart;
    if (product.header.length < kBlocksSize || product.header.length > available)
        return DecodeError{QStringLiteral("the message is %1 bytes long, but %2 are there")
                               .arg(product.header.length)
                               .arg(available),
                           messageStart + 8};
    const Bytes message = file.subspan(messageStart, product.header.length);
    reader = ByteReader(message, messageStart);
    reader.skip(kMessageHeaderSize);

    auto description = readDescriptionBlock(reader);
    if (auto* failure = std::get_if<DecodeError>(&description))
        return *failure;
    product.description = std::get<DescriptionBlock>(description);
    const DescriptionBlock& d = product.description;
    const ProductCodeInfo* info = productCodeInfo(d.productCode);
    if (info == nullptr)
        return DecodeError{
            QStringLiteral("product code %1 is not one the feed draws").arg(d.productCode),
            messageStart + kMessageHeaderSize + 12};
    if (d.productCode != product.header.productCode)
        return DecodeError{QStringLiteral("the message header and the description block name "
                                          "different products"),
                           messageStart};
    if (info->storms)
        return readStorms(std::move(product), message, messageStart);
    product.levels = levelTable(d, *info);
    product.binKm = info->resolutionKm;

    std::vector<std::uint8_t> expanded;
    Bytes body = message;
    // Halfword 51 means compression only in the products that may have it.
    if (info->mayBeCompressed && d.bzip2) {
        auto result = expand(message, d, messageStart);
        if (auto* failure = std::get_if<DecodeError>(&result))
            return *failure;
        expanded = std::get<std::vector<std::uint8_t>>(std::move(result));
        body = expanded;
    }
    product.null = info->hasNullFlag && (d.dependent[2] & 0xFF) != 0;
    // A product may come without a symbology block: nothing to draw.
    if (d.symbologyOffset == 0) {
        product.null = true;
        return product;
    }
    const std::size_t symbology = 2u * d.symbologyOffset;
    if (symbology < kBlocksSize || symbology >= body.size())
        return DecodeError{
            QStringLiteral("the symbology block's offset points outside the product"),
            messageStart + kMessageHeaderSize + 90};
    // Offsets past here count in the expanded product when it was compressed.
    ByteReader symbols(body.subspan(symbology), messageStart + symbology);
    auto read = readSymbology(symbols);
    if (auto* failure = std::get_if<DecodeError>(&read))
        return *failure;
    Symbology& found = std::get<Symbology>(read);
    product.packets = std::move(found.packets);
    product.texts = std::move(found.texts);
    for (Packet& packet : product.packets)
        if (auto* grid = std::get_if<RasterGrid>(&packet))
            grid->boxKm = info->resolutionKm;
    // Dry weather: the radar sends its rainfall products with no data at all.
    if (product.packets.empty())
        product.null = true;
    return product;
}

} // namespace

QString describe(const DecodeError& error) {
    return QStringLiteral("%1 (at byte %2)").arg(error.what).arg(error.offset);
}

DecodeResult decodeLevel3(const QByteArray& file) {
    return decodeLevel3(std::span(reinterpret_cast<const std::uint8_t*>(file.constData()),
                                  static_cast<std::size_t>(file.size())));
}

DecodeResult decodeLevel3(std::span<const std::uint8_t> file) {
    // The caps keep a product far from this, but no failure to find memory
    // may end the process that serves the pictures.
    try {
        return decodeProduct(file, false);
    } catch (const std::bad_alloc&) {
        return DecodeError{QStringLiteral("there is not enough memory to decode the product"), 0};
    }
}

} // namespace nubivista::feed::level3
