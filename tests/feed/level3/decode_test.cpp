// Level III decoding over real products of the KLSX radar: every product the
// program offers, and damaged copies of them.
#include "feed/level3/broadcast_frame.h"
#include "feed/level3/decode.h"
#include "support/files.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace nubivista::feed::level3;
using nubivista::testing::productFile;

namespace {

Product decoded(DecodeResult result) {
    if (const auto* error = std::get_if<DecodeError>(&result)) {
        ADD_FAILURE() << describe(*error).toStdString();
        return {};
    }
    return std::get<Product>(std::move(result));
}

QString failure(const DecodeResult& result) {
    const auto* error = std::get_if<DecodeError>(&result);
    return error ? error->what : QString();
}

// The largest value and how many bins or boxes hold one.
std::pair<double, int> valueRange(const Product& p) {
    double largest = -1e9;
    int count = 0;
    const auto note = [&](std::uint8_t code) {
        if (p.levels[code].kind == Level::Kind::Value) {
            largest = std::max(largest, p.levels[code].value);
            ++count;
        }
    };
    for (const Packet& packet : p.packets) {
        if (const auto* sweep = std::get_if<RadialSweep>(&packet))
            for (const Radial& radial : sweep->radials)
                std::for_each(radial.levels.begin(), radial.levels.end(), note);
        if (const auto* grid = std::get_if<RasterGrid>(&packet))
            for (const auto& row : grid->rows)
                std::for_each(row.begin(), row.end(), note);
    }
    return {largest, count};
}

struct RealProduct {
    const char* file;
    int code;
    const char* scanTime;
    int radialsOrRows;
    int binsOrColumns;
    double largest; // the largest value in the product's unit
};

// The largest values agree with the maximum each product states of itself.
const RealProduct kProducts[] = {
    {"KLSX_SDUS53_N0RLSX_202105041639", 19, "2021-05-04T16:39:30Z", 360, 230, 45},
    {"KLSX_SDUS73_N0ZLSX_202105042031", 20, "2021-05-04T20:31:05Z", 360, 230, 50},
    {"KLSX_SDUS53_NCRLSX_202112110215", 37, "2021-12-11T02:15:38Z", 464, 464, 60},
    {"KLSX_SDUS63_NCZLSX_202112110130", 38, "2021-12-11T01:30:15Z", 232, 232, 65},
    {"KLSX_SDUS33_N1PLSX_202112110103", 78, "2021-12-11T01:03:50Z", 360, 115, 1.0},
    {"KLSX_SDUS53_NTPLSX_202112110114", 80, "2021-12-11T01:14:24Z", 360, 115, 1.5},
    {"KLSX_SDUS23_N2QLSX_202112110250", 94, "2021-12-11T02:50:32Z", 360, 333, 59.5},
    {"KLSX_SDUS83_DAALSX_202112110135", 170, "2021-12-11T01:35:32Z", 360, 920, 1.74},
    {"KLSX_SDUS83_DTALSX_202112110209", 172, "2021-12-11T02:09:49Z", 360, 920, 2.24},
};

} // namespace

TEST(Level3Decode, EveryRealProductGivesItsCodePlaceScanTimeShapeAndValues) {
    for (const RealProduct& real : kProducts) {
        SCOPED_TRACE(real.file);
        const Product p = decoded(decodeLevel3(productFile(real.file)));
        EXPECT_EQ(p.heading.office, QStringLiteral("KLSX"));
        EXPECT_TRUE(p.heading.awipsId.endsWith(QStringLiteral("LSX")));
        EXPECT_EQ(p.description.productCode, real.code);
        EXPECT_FALSE(p.null) << "a product with echoes is no null product";
        EXPECT_DOUBLE_EQ(p.description.latitude, 38.699);
        EXPECT_DOUBLE_EQ(p.description.longitude, -90.683);
        EXPECT_EQ(p.description.volumeScanTime.toString(Qt::ISODate), QLatin1String(real.scanTime));
        ASSERT_EQ(p.packets.size(), 1u);
        if (const auto* sweep = std::get_if<RadialSweep>(&p.packets[0])) {
            EXPECT_EQ(int(sweep->radials.size()), real.radialsOrRows);
            EXPECT_EQ(sweep->binCount, real.binsOrColumns);
            for (const Radial& radial : sweep->radials)
                ASSERT_EQ(int(radial.levels.size()), sweep->binCount);
        } else {
            const auto& grid = std::get<RasterGrid>(p.packets[0]);
            EXPECT_EQ(int(grid.rows.size()), real.radialsOrRows);
            EXPECT_EQ(int(grid.rows[0].size()), real.binsOrColumns);
            EXPECT_EQ(grid.boxKm, real.code == 37 ? 1.0 : 4.0);
        }
        const auto [largest, count] = valueRange(p);
        EXPECT_NEAR(largest, real.largest, 0.01);
        EXPECT_GT(count, 1000) << "echoes were decoded";
    }
}

TEST(Level3Decode, ATruncatedProductNamesWhatIsMissingAtAnyLength) {
    for (const RealProduct& real : kProducts) {
        const QByteArray whole = productFile(real.file);
        for (const qsizetype length : {qsizetype(0), qsizetype(10), qsizetype(30), qsizetype(60),
                                       qsizetype(140), whole.size() / 2, whole.size() - 1}) {
            SCOPED_TRACE(::testing::Message() << real.file << " cut at " << length);
            EXPECT_FALSE(failure(decodeLevel3(whole.left(length))).isEmpty());
        }
    }
    // The message then claims more than there is.
    const QByteArray whole = productFile("KLSX_SDUS53_N0RLSX_202105041639");
    EXPECT_TRUE(
        failure(decodeLevel3(whole.left(whole.size() - 1))).contains(QStringLiteral("bytes long")));
}

TEST(Level3Decode, DamagedFieldsGiveTheirOwnErrors) {
    const QByteArray n0r = productFile("KLSX_SDUS53_N0RLSX_202105041639");
    const QByteArray n2q = productFile("KLSX_SDUS23_N2QLSX_202112110250");
    constexpr int message = 30; // after the two heading lines
    const auto put16 = [](QByteArray bytes, int at, quint16 value) {
        qToBigEndian(value, bytes.data() + at);
        return bytes;
    };
    const auto put32 = [](QByteArray bytes, int at, quint32 value) {
        qToBigEndian(value, bytes.data() + at);
        return bytes;
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* error;
    };
    QByteArray garbled = n2q;
    for (int i = 400; i < 440; ++i)
        garbled[i] = char(garbled[i] ^ 0x5A);
    const Case cases[] = {
        {"foreign product code", put16(put16(n0r, message, 2), message + 30, 2),
         "not one the feed draws"},
        {"codes that differ", put16(n0r, message, 20), "different products"},
        {"no divider", put16(n0r, message + 18, 0), "does not start with -1"},
        {"symbology block of another id", put16(n0r, message + 120 + 2, 2),
         "symbology block does not start with -1 and 1"},
        {"symbology offset past the end", put32(n0r, message + 108, 0x7FFFFFFF),
         "outside the product"},
        {"message length past the end", put32(n0r, message + 8, 0x00FFFFFF), "bytes long"},
        {"compression flag cleared", put16(n2q, message + 100, 0), "does not start with -1"},
        {"bzip2 block garbled", garbled, "bzip2"},
        {"uncompressed size absurd", put16(n2q, message + 102, 0x7FFF), "impossible size"},
        {"symbology block shorter than its header", put32(n0r, message + 120 + 4, 9),
         "symbology block has an impossible size"},
        {"negative layer count", put16(n0r, message + 120 + 8, 0xFFFF),
         "symbology block has an impossible size"},
        {"layer length past the end", put32(n0r, message + 120 + 12, 0x7FFFFFFF), "past the end"},
        {"radial count absurd", put16(n0r, message + 120 + 16 + 12, 0x7FFF),
         "impossible number of radials"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString what = failure(decodeLevel3(c.bytes));
        EXPECT_TRUE(what.contains(QLatin1String(c.error))) << what.toStdString();
    }
    // A raster of no rows is a picture without echoes, not a damaged product.
    const QByteArray ncr = productFile("KLSX_SDUS53_NCRLSX_202112110215");
    const DecodeResult noRows =
        decodeLevel3(put32(put16(ncr, message + 120 + 16 + 18, 0), message + 120 + 12, 22));
    EXPECT_TRUE(failure(noRows).isEmpty()) << failure(noRows).toStdString();
    // A zlib stream's two-byte header alone is known as one.
    EXPECT_TRUE(startsZlibStream(Bytes(reinterpret_cast<const std::uint8_t*>("\x78\x9c"), 2)));
    EXPECT_FALSE(startsZlibStream(Bytes(reinterpret_cast<const std::uint8_t*>("\x78"), 1)));
    // A file that is no product at all.
    EXPECT_FALSE(failure(decodeLevel3(QByteArray("<html>Not Found</html>"))).isEmpty());
}

TEST(Level3Decode, AirportRadarsBroadcastFramesRawProductsAndNullProductsDecode) {
    struct Other {
        const char* file;
        const char* awipsId;
        int code;
        double latitude, longitude;
        const char* scanTime;
        int radialsOrRows;
        int binsOrColumns; // 0: a null product
    };
    // TSTL's come in a satellite broadcast's frame, its composite zlib-wrapped
    // as well; KLOT's one-hour product of a dry night is a null product.
    const Other kOthers[] = {
        {"Level3_STL_TZ0_20211211_0200.nids", "TZ0STL", 180, 38.805, -90.489,
         "2021-12-11T02:00:35Z", 360, 592},
        {"Level3_STL_TZL_20211211_0200.nids", "TZLSTL", 186, 38.805, -90.489,
         "2021-12-11T02:00:18Z", 360, 1390},
        {"Level3_STL_NCR_20211211_0200.nids", "NCRSTL", 37, 38.805, -90.489, "2021-12-11T02:00:18Z",
         464, 464},
        {"LOT_DAA_2021_05_08_03_40_29", "DAALOT", 170, 41.604, -88.085, "2021-05-08T03:40:29Z", 0,
         0},
    };
    for (const Other& other : kOthers) {
        SCOPED_TRACE(other.file);
        const Product p = decoded(decodeLevel3(productFile(other.file)));
        EXPECT_EQ(p.heading.awipsId, QLatin1String(other.awipsId));
        EXPECT_EQ(p.description.productCode, other.code);
        EXPECT_DOUBLE_EQ(p.description.latitude, other.latitude);
        EXPECT_DOUBLE_EQ(p.description.longitude, other.longitude);
        EXPECT_EQ(p.description.volumeScanTime.toString(Qt::ISODate),
                  QLatin1String(other.scanTime));
        EXPECT_EQ(p.null, other.binsOrColumns == 0);
        if (p.null) {
            EXPECT_TRUE(p.packets.empty());
            ASSERT_EQ(p.texts.size(), 1u);
            EXPECT_EQ(p.texts[0],
                      QStringLiteral("No precipitation detected since 5/7/2021 22:28 Z"));
            continue;
        }
        ASSERT_EQ(p.packets.size(), 1u);
        if (const auto* sweep = std::get_if<RadialSweep>(&p.packets[0])) {
            EXPECT_EQ(int(sweep->radials.size()), other.radialsOrRows);
            EXPECT_EQ(sweep->binCount, other.binsOrColumns);
        } else {
            const auto& grid = std::get<RasterGrid>(p.packets[0]);
            EXPECT_EQ(int(grid.rows.size()), other.radialsOrRows);
            EXPECT_EQ(int(grid.rows[0].size()), other.binsOrColumns);
        }
        EXPECT_GT(valueRange(p).second, 1000) << "echoes were decoded";
    }

    // The archive's raw form has no heading at all; a frame cut short or a
    // frame around no product says so.
    const QByteArray n0r = productFile("KLSX_SDUS53_N0RLSX_202105041639");
    const Product raw = decoded(decodeLevel3(n0r.mid(30)));
    EXPECT_EQ(raw.description.volumeScanTime.toString(Qt::ISODate),
              QLatin1String("2021-05-04T16:39:30Z"));
    const QByteArray ncr = productFile("Level3_STL_NCR_20211211_0200.nids");
    EXPECT_TRUE(failure(decodeLevel3(ncr.left(400))).contains(QStringLiteral("cut short")));
}

namespace {

// A real N0R's header and description around a symbology built here, one
// layer per entry of layers.
QByteArray withSymbology(const std::vector<QByteArray>& layers) {
    QByteArray block;
    for (const QByteArray& layer : layers) {
        block += QByteArray::fromHex("ffff") + QByteArray(4, 0) + layer;
        qToBigEndian(quint32(layer.size()), block.data() + block.size() - layer.size() - 4);
    }
    QByteArray head = QByteArray::fromHex("ffff0001") + QByteArray(6, 0);
    qToBigEndian(quint32(10 + block.size()), head.data() + 4);
    qToBigEndian(quint16(layers.size()), head.data() + 8);
    QByteArray message = productFile("KLSX_SDUS53_N0RLSX_202105041639").mid(30, 120) + head + block;
    qToBigEndian(quint32(message.size()), message.data() + 8);
    qToBigEndian(quint32(60), message.data() + 108); // the symbology, in halfwords
    return message;
}

QByteArray repeated(const QByteArray& packet, int times) {
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += packet;
    return out;
}

// A run-length radial packet: radials of runs covering bins each.
QByteArray radialPacket(int bins, int radials, int coveredBins, int firstBin = 0) {
    QByteArray runs(coveredBins / 15, char(0xF3));
    if (runs.size() % 2)
        runs += char(0);
    QByteArray packet(14, 0);
    qToBigEndian(quint16(0xAF1F), packet.data());
    qToBigEndian(quint16(firstBin), packet.data() + 2);
    qToBigEndian(quint16(bins), packet.data() + 4);
    qToBigEndian(quint16(radials), packet.data() + 12);
    QByteArray radial(6, 0);
    qToBigEndian(quint16(runs.size() / 2), radial.data());
    qToBigEndian(quint16(10), radial.data() + 4); // one degree wide
    return packet + repeated(radial + runs, radials);
}

} // namespace

TEST(Level3Decode, ProductsPastADecoderLimitAreRefusedBeforeTheyCostMemory) {
    const QByteArray emptyText = QByteArray::fromHex("000100040000"
                                                     "0000");
    struct Case {
        const char* name;
        std::vector<QByteArray> layers;
        const char* error; // empty: accepted
    };
    const Case cases[] = {
        {"a layer of 1001 packets", {repeated(emptyText, 1001)}, "more than 1000 packets"},
        {"three layers of 700 packets", std::vector(3, repeated(emptyText, 700)),
         "product holds more than 2000 packets"},
        {"five empty radial packets",
         {repeated(radialPacket(2000, 0, 0), 5)},
         "more than 4 radial or raster packets"},
        {"a radial of 2001 bins", {radialPacket(2001, 1, 15)}, "impossible number of range bins"},
        {"a radial from bin 2001 on",
         {radialPacket(100, 1, 15, 2001)},
         "impossible number of range bins"},
        {"two packets of 1000 full radials of 2000 bins",
         {repeated(radialPacket(2000, 1000, 2000), 2)},
         "more than 2000000 range bins"},
        {"1000 radials that hold no bins", {radialPacket(2000, 1000, 0)}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult result = decodeLevel3(withSymbology(c.layers));
        EXPECT_TRUE(failure(result).contains(QLatin1String(c.error)))
            << failure(result).toStdString();
    }
    // Radials take room for the bins they hold, not for the packet's width.
    const Product empty = decoded(decodeLevel3(withSymbology({radialPacket(2000, 1000, 0)})));
    ASSERT_EQ(empty.packets.size(), 1u);
    for (const Radial& radial : std::get<RadialSweep>(empty.packets[0]).radials)
        ASSERT_EQ(radial.levels.capacity(), 0u);
}
