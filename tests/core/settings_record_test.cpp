// The settings record's bytes checked against a record built independently of
// the codec, by Python's struct module at test time, and by hand-computed hex.
#include "core/settings_record.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <bit>
#include <gtest/gtest.h>

using namespace nubivista::core;

namespace {

// Every field type at its offset: Integer '<h', Long '<i', Single '<f',
// Double '<d', texts in cp1252 cut to length and padded with spaces.
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
open(sys.argv[1], 'wb').write(b)
)PY";

// The same values as the script writes, before the codec cuts the long URL.
SettingsRecord fixtureRecord() {
    SettingsRecord r;
    r.MainLeft = 150.5f;
    r.MainTop = -30.0f;
    r.MainWidth = 9300.0f;
    r.MainHeight = 7200.25f;
    r.MsgOffMap = QStringLiteral("0101");
    r.EtaLeft = 12.5f;
    r.EtaTop = 0.0f;
    r.EtaWidth = 5000.0f;
    r.EtaHeight = 4000.0f;
    r.EtaCol1Width = 1500.0f;
    r.EtaCol2Width = 4200.0f;
    r.EtaOnTop = -1;
    r.EtaClearAtClose = 1;
    r.EtaSavePath = QString::fromUtf8(" C:\\ETA lists\\caf\u00e9 \u20ac.txt");
    r.ProductIndex = 5;
    r.LongRangeChecked = 1;
    r.BackDateChecked = 1;
    r.ClockUtc = 1;
    r.ClockOff = 0;
    r.TimeDisplayMode = 2;
    r.EtaUseDirection = 1;
    r.TwoClickEta = 1;
    r.PopupLists = 3;
    r.NoToolTips = 0;
    r.HideStatusBar = -32768;
    r.LoopDelayMs = 250;
    r.FirstExtraMs = -500;
    r.LastExtraMs = 2147483647;
    r.RockMode = 1;
    r.StampAdjustMinutes = -5.75;
    r.UnitFactor = 0.5f;
    r.MapScale = std::bit_cast<float>(std::uint32_t{0x41F23AC7});
    r.OptionsOnTop = 1;
    r.RefreshIntervalMinutes = -2147483647 - 1;
    r.HideStampBox = 1;
    r.ZoomFactor = 3.0f;
    r.FitToImage = 1;
    r.AutoClickTab = 0;
    r.NationalMapUrl = QStringLiteral("http://radar.example/") + QString(300, QLatin1Char('x'));
    r.ReservedWords = {1, -2, 65536, 0x7FFFFFFF};
    for (int i = 0; i < kTitleCodeLength; ++i)
        r.TitleCode.append(static_cast<char>(i));
    r.NavsGoToPageUrl = 1;
    r.LoadAllBackDateFiles = 32767;
    return r;
}

QByteArray pythonFixture(const QTemporaryDir& dir) {
    const QString script = dir.filePath(QStringLiteral("fixture.py"));
    const QString output = dir.filePath(QStringLiteral("fixture.ini"));
    QFile scriptFile(script);
    if (!scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(kFixtureScript) < 0)
        return {};
    scriptFile.close();
    QProcess python;
    python.start(QStringLiteral("python3"), {script, output});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return {};
    QFile result(output);
    if (!result.open(QIODevice::ReadOnly))
        return {};
    return result.readAll();
}

// A device whose every read fails, as a pulled drive would.
class UnreadableDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

TEST(SettingsRecordBytes, EncodeMatchesAnIndependentlyWrittenRecord) {
    QTemporaryDir dir;
    const QByteArray expected = pythonFixture(dir);
    ASSERT_EQ(expected.size(), kSettingsRecordSize) << "python3 fixture not produced";

    const QByteArray encoded = encodeSettingsRecord(fixtureRecord());
    ASSERT_EQ(encoded.size(), kSettingsRecordSize);
    for (int i = 0; i < kSettingsRecordSize; ++i)
        ASSERT_EQ(encoded.at(i), expected.at(i)) << "first difference at offset " << i;
}

TEST(SettingsRecordBytes, DecodeReadsEveryFieldOfAnIndependentlyWrittenRecord) {
    QTemporaryDir dir;
    const QByteArray bytes = pythonFixture(dir);
    ASSERT_EQ(bytes.size(), kSettingsRecordSize) << "python3 fixture not produced";

    const SettingsRecord want = fixtureRecord();
    const SettingsRecord got = decodeSettingsRecord(bytes);
    // The encoder is proven above, so a field the decoder misreads shows here.
    // A few fields are also checked one by one, one of each kind.
    EXPECT_EQ(got.MainHeight, 7200.25f);
    EXPECT_EQ(got.EtaOnTop, -1);
    EXPECT_EQ(got.HideStatusBar, -32768);
    EXPECT_EQ(got.FirstExtraMs, -500);
    EXPECT_EQ(got.StampAdjustMinutes, -5.75);
    EXPECT_FLOAT_EQ(got.MapScale, 30.2787f);
    EXPECT_EQ(got.ReservedWords, want.ReservedWords);
    EXPECT_EQ(got.TitleCode, want.TitleCode);
    // Texts come back untrimmed; trimming is a load rule of the settings.
    EXPECT_EQ(got.MsgOffMap, QStringLiteral("0101") + QString(96, QLatin1Char(' ')));
    EXPECT_EQ(got.EtaSavePath, want.EtaSavePath.leftJustified(kEtaSavePathLength));
    EXPECT_EQ(got.NationalMapUrl, want.NationalMapUrl.left(kNationalMapUrlLength));

    // What was read is written back byte for byte, the raw TitleCode included.
    EXPECT_EQ(encodeSettingsRecord(got), bytes);
}

TEST(SettingsRecordBytes, HandComputedFieldBytes) {
    SettingsRecord r;
    r.MainLeft = -1.0f;         // 0xBF800000
    r.LoopDelayMs = 0x01020304; // little-endian 04 03 02 01
    r.StampAdjustMinutes = 1.0; // 0x3FF0000000000000
    r.ProductIndex = -2;        // FE FF
    r.MsgOffMap = QStringLiteral("1");
    const QByteArray bytes = encodeSettingsRecord(r);
    EXPECT_EQ(bytes.mid(0, 4).toHex(), "000080bf");
    EXPECT_EQ(bytes.mid(426, 4).toHex(), "04030201");
    EXPECT_EQ(bytes.mid(440, 8).toHex(), "000000000000f03f");
    EXPECT_EQ(bytes.mid(404, 2).toHex(), "feff");
    EXPECT_EQ(bytes.mid(16, 100), QByteArray("1") + QByteArray(99, ' '));
    // Empty texts are all spaces, the TitleCode of an empty record too.
    EXPECT_EQ(bytes.mid(144, 260), QByteArray(260, ' '));
    EXPECT_EQ(bytes.mid(748, 248), QByteArray(248, ' '));
}

TEST(SettingsRecordBytes, ShortAndLongInputs) {
    SettingsRecord full;
    full.MainLeft = 10;
    full.ProductIndex = 4;
    full.NavsGoToPageUrl = 1;
    full.LoadAllBackDateFiles = 1;
    const QByteArray bytes = encodeSettingsRecord(full);

    // A 700-byte file: what lies past its end reads as zeros.
    const SettingsRecord shortRecord = decodeSettingsRecord(bytes.left(700));
    EXPECT_EQ(shortRecord.MainLeft, 10);
    EXPECT_EQ(shortRecord.ProductIndex, 4);
    EXPECT_EQ(shortRecord.NavsGoToPageUrl, 0);
    EXPECT_EQ(shortRecord.LoadAllBackDateFiles, 0);
    EXPECT_EQ(shortRecord.TitleCode, QByteArray(kTitleCodeLength, '\0'));
    EXPECT_EQ(shortRecord.NationalMapUrl.mid(700 - 472), QString(732 - 700, QChar(u'\0')));

    // Bytes past the record are ignored.
    const SettingsRecord longer = decodeSettingsRecord(bytes + QByteArray(50, '\x7f'));
    EXPECT_EQ(encodeSettingsRecord(longer), bytes);
}

TEST(SettingsRecordBytes, DeviceReader) {
    SettingsRecord r;
    r.RefreshIntervalMinutes = 9;
    QByteArray bytes = encodeSettingsRecord(r) + "tail";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    const std::optional<SettingsRecord> read = readSettingsRecord(buffer);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->RefreshIntervalMinutes, 9);
    EXPECT_EQ(buffer.pos(), kSettingsRecordSize);

    UnreadableDevice broken;
    ASSERT_TRUE(broken.open(QIODevice::ReadOnly));
    EXPECT_FALSE(readSettingsRecord(broken).has_value());

    QBuffer closed;
    EXPECT_FALSE(readSettingsRecord(closed).has_value());
}

TEST(SettingsRecordText, Windows1252BothWaysAndCutAtTheFieldLength) {
    EXPECT_EQ(decodeWindows1252("\x80\x9f\xe9\x41"), QString::fromUtf8("\u20ac\u0178\u00e9A"));
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("\u20ac\u0178\u00e9A")), "\x80\x9f\xe9\x41");
    // Not in the code page: written as a question mark.
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("a\u4e2d")), "a?");
    // Every byte survives a round trip, the five undefined ones included.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);

    SettingsRecord r;
    r.MsgOffMap = QString(150, QLatin1Char('1'));
    const QByteArray bytes = encodeSettingsRecord(r);
    EXPECT_EQ(bytes.mid(16, 100), QByteArray(100, '1'));
    EXPECT_EQ(bytes.at(116), '\0'); // EtaLeft untouched by the longer text
}

TEST(SettingsRecordText, TitleCodeHidesTheTitleAndDecodesBack) {
    const QByteArray code = encodeTitleCode(QStringLiteral("Nubivista"));
    ASSERT_EQ(code.size(), kTitleCodeLength);
    EXPECT_FALSE(code.contains("Nubivista"));
    EXPECT_EQ(static_cast<std::uint8_t>(code.at(0)), 'N' ^ 0xA5);
    EXPECT_EQ(code.mid(9), QByteArray(kTitleCodeLength - 9, ' '));
    EXPECT_EQ(decodeTitleCode(code), QStringLiteral("Nubivista"));
    EXPECT_EQ(decodeTitleCode(encodeTitleCode(QStringLiteral("Two words "))),
              QStringLiteral("Two words "));
}
