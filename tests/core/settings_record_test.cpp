// The settings record's bytes checked against a record packed independently of
// the codec by Python's struct module, for every field type and offset.
#include "core/ansi_text.h"
#include "core/settings.h"
#include "support/files.h"

#include <QBuffer>
#include <bit>
#include <gtest/gtest.h>

using namespace nubivista::core;
using nubivista::testing::runPython;

namespace {

// Integer '<h', Long '<i', Single '<f', Double '<d', texts in cp1252 cut to
// their length and padded with spaces.
const char* const kFixtureScript = R"PY(
import struct, sys
b = bytearray(1000)
def text(offset, length, value):
    raw = value.encode('cp1252')[:length]
    b[offset:offset + length] = raw + b' ' * (length - len(raw))
struct.pack_into('<4f', b, 0, 150.5, -30.0, 9300.0, 7200.25)
text(16, 100, '0101')
struct.pack_into('<6f', b, 116, 12.5, 0.0, 5000.0, 4000.0, 1500.0, 4200.0)
struct.pack_into('<2h', b, 140, -1, 1)
text(144, 260, ' C:\\ETA lists\\caf\u00e9 \u20ac.txt')
struct.pack_into('<11h', b, 404, 5, 1, 1, 1, 0, 2, 1, 1, 3, 0, -32768)
struct.pack_into('<3i', b, 426, 250, -500, 2147483647)
struct.pack_into('<h', b, 438, 1)
struct.pack_into('<d', b, 440, -5.75)
struct.pack_into('<f', b, 448, 0.5)
struct.pack_into('<I', b, 452, 0x41F23AC7)
struct.pack_into('<h', b, 456, 1)
struct.pack_into('<i', b, 458, -2147483648)
struct.pack_into('<h', b, 462, 1)
struct.pack_into('<f', b, 464, 3.0)
struct.pack_into('<2h', b, 468, 1, 0)
text(472, 260, 'http://radar.example/' + 'x' * 300)
struct.pack_into('<4i', b, 732, 1, -2, 65536, 0x7FFFFFFF)
b[748:996] = bytes(range(248))
struct.pack_into('<2h', b, 996, 1, 32767)
sys.stdout.buffer.write(b)
)PY";

// The same values as the script packs, line for line, before the codec cuts
// the long address.
SettingsRecord fixtureRecord() {
    // clang-format off
    SettingsRecord r{150.5f, -30.0f, 9300.0f, 7200.25f,
                     QStringLiteral("0101"),
                     12.5f, 0.0f, 5000.0f, 4000.0f, 1500.0f, 4200.0f,
                     -1, 1,
                     QString::fromUtf8(" C:\\ETA lists\\caf\u00e9 \u20ac.txt"),
                     5, 1, 1, 1, 0, 2, 1, 1, 3, 0, -32768,
                     250, -500, 2147483647,
                     1, -5.75, 0.5f, defaultMapScale(), 1, -2147483647 - 1, 1, 3.0f, 1, 0,
                     QStringLiteral("http://radar.example/") + QString(300, u'x'),
                     {1, -2, 65536, 0x7FFFFFFF}, {}, 1, 32767};
    // clang-format on
    for (int i = 0; i < kTitleCodeLength; ++i)
        r.TitleCode.append(static_cast<char>(i));
    return r;
}

QByteArray fixtureBytes() {
    const std::optional<QByteArray> bytes = runPython(kFixtureScript);
    EXPECT_TRUE(bytes && bytes->size() == kSettingsRecordSize) << "python3 fixture not produced";
    return bytes.value_or(QByteArray());
}

// A device whose every read fails, as a pulled drive would.
class UnreadableDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

TEST(SettingsRecordBytes, EncodeAndDecodeMatchAnIndependentlyPackedRecord) {
    const QByteArray expected = fixtureBytes();
    ASSERT_EQ(expected.size(), kSettingsRecordSize);
    const QByteArray encoded = encodeSettingsRecord(fixtureRecord());
    for (int i = 0; i < kSettingsRecordSize; ++i)
        ASSERT_EQ(encoded.at(i), expected.at(i)) << "first difference at offset " << i;

    // The encoder is proven; what the decoder reads must write back byte for byte.
    const SettingsRecord got = decodeSettingsRecord(expected);
    EXPECT_EQ(encodeSettingsRecord(got), expected);
    EXPECT_EQ(got.HideStatusBar, -32768);
    EXPECT_EQ(got.StampAdjustMinutes, -5.75);
    EXPECT_FLOAT_EQ(got.MapScale, 30.2787f);
    // Texts come back untrimmed; trimming is a load rule of the settings.
    EXPECT_EQ(got.MsgOffMap, QStringLiteral("0101") + QString(96, u' '));
    EXPECT_EQ(got.NationalMapUrl, fixtureRecord().NationalMapUrl.left(kNationalMapUrlLength));
}

TEST(SettingsRecordBytes, DeviceReaderReadsOneRecordAndReportsReadErrors) {
    SettingsRecord r;
    r.RefreshIntervalMinutes = 9;
    QByteArray bytes = encodeSettingsRecord(r) + "tail";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(readSettingsRecord(buffer)->RefreshIntervalMinutes, 9);
    EXPECT_EQ(buffer.pos(), kSettingsRecordSize);

    UnreadableDevice broken;
    ASSERT_TRUE(broken.open(QIODevice::ReadOnly));
    EXPECT_FALSE(readSettingsRecord(broken).has_value());
}

TEST(AnsiText, Windows1252BothWaysCutAndPadded) {
    EXPECT_EQ(decodeWindows1252("\x80\x9f\xe9\x41"), QString::fromUtf8("\u20ac\u0178\u00e9A"));
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("\u20ac\u0178\u00e9A")), "\x80\x9f\xe9\x41");
    // Outside the code page: one '?' per character, also beyond 16 bits.
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("a\u4e2d\U0001F600b")), "a??b");
    EXPECT_EQ(encodeWindows1252(u"abc", 5), "abc  ");
    EXPECT_EQ(encodeWindows1252(u"abcdef", 4), "abcd");
    EXPECT_EQ(encodeWindows1252(u"", 0), "");
    // Every byte survives a round trip, the five undefined ones included.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
    EXPECT_EQ(trimSpaces(u"  a\tb \n  "), QStringLiteral("a\tb \n"));
    EXPECT_EQ(trimSpaces(u"    "), QString());
}
