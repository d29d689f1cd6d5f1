// Load rules on damaged and edited records, and the save at close: what the
// next start reads back, what the file keeps, and how a failed write reports;
// the whole-file replacement every record write goes through.
#include "core/atomic_file.h"
#include "core/settings.h"
#include "support/fail_device.h"
#include "support/file_size_limit.h"
#include "support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

using namespace nubivista::core;
using nubivista::testing::readBytes;
using nubivista::testing::writeBytes;

namespace {

const QString kAllShown(100, u'0');

class SettingsFile : public ::testing::Test {
protected:
    Settings load() {
        const SettingsLoadResult result = loadSettingsFile(path);
        EXPECT_TRUE(result.settings.has_value()) << qPrintable(result.error);
        return result.settings.value_or(Settings{});
    }
    Settings saveAndLoad(const Settings& s) {
        EXPECT_TRUE(saveSettingsFile(path, s).ok);
        return load();
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
};

} // namespace

TEST(SettingsLoadRules, DamagedValuesAreRepairedAndSoundOnesKept) {
    struct Case {
        const char* name;
        std::function<void(SettingsRecord&)> store;
        std::function<void(const Settings&)> check;
    };
    const Case cases[] = {
        {"all-NUL texts and zero numbers", [](SettingsRecord&) {},
         [](const Settings& s) {
             EXPECT_EQ(s.MsgOffMap, kAllShown);
             EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl);
             EXPECT_EQ(s.EtaSavePath, QString());
             EXPECT_EQ(std::tuple(s.LoopDelayMs, s.FirstExtraMs, s.LastExtraMs,
                                  s.RefreshIntervalMinutes, s.UnitFactor),
                       std::tuple(100, 500, 1000, 6, 1.0f));
             EXPECT_EQ(std::bit_cast<std::uint32_t>(s.MapScale), 0x41F23AC7u);
             EXPECT_EQ(s.MapScaleLong, s.MapScale / 2);
         }},
        {"a NUL inside the texts",
         [](SettingsRecord& r) {
             r.MsgOffMap = QStringLiteral("0111") + QChar(u'\0') + QStringLiteral("1");
             r.NationalMapUrl = QStringLiteral("http://radar.example/") + QChar(u'\0');
             r.EtaSavePath = QStringLiteral("/tmp/eta.txt") + QString(20, QChar(u'\0'));
         },
         [](const Settings& s) {
             EXPECT_EQ(s.MsgOffMap, kAllShown);
             EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl);
             EXPECT_EQ(s.EtaSavePath, QStringLiteral("/tmp/eta.txt"));
         }},
        {"negative or non-numeric positions",
         [](SettingsRecord& r) {
             r.MainLeft = r.EtaTop = -15000.0f;
             r.MainTop = NAN;
             r.EtaLeft = -INFINITY;
             r.MainWidth = -5.0f;
         },
         [](const Settings& s) {
             EXPECT_EQ(s.MainLeft + s.MainTop + s.EtaLeft + s.EtaTop, 0.0f);
             EXPECT_EQ(s.MainWidth, -5.0f); // sizes load as stored
         }},
        {"spaces around the texts, a short map",
         [](SettingsRecord& r) {
             r.MsgOffMap = QStringLiteral("  0110  ");
             r.NationalMapUrl = QStringLiteral("  http://radar.example/national.html ");
         },
         [](const Settings& s) {
             // A short map is made whole: the message window may read any of 100 flags.
             EXPECT_EQ(s.MsgOffMap, QStringLiteral("0110") + kAllShown.left(96));
             EXPECT_EQ(s.NationalMapUrl, QStringLiteral("http://radar.example/national.html"));
         }},
        {"a blank map address", [](SettingsRecord& r) { r.NationalMapUrl = QString(260, u' '); },
         [](const Settings& s) { EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRecord r = decodeSettingsRecord(QByteArray(1000, '\0'));
        c.store(r);
        c.check(settingsFromRecord(r));
    }
}

TEST_F(SettingsFile, AShortFileReadsZerosPastItsEndAndIsSavedWhole) {
    SettingsRecord r;
    r.ProductIndex = 5;
    r.NavsGoToPageUrl = 1;
    ASSERT_TRUE(writeBytes(path, encodeSettingsRecord(r).left(700)));
    const Settings s = load();
    EXPECT_EQ(s.ProductIndex, 5);
    EXPECT_EQ(s.NavsGoToPageUrl, 0);
    EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl); // cut off by the end: NULs
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    EXPECT_EQ(readBytes(path).size(), 1000);
}

TEST_F(SettingsFile, TextsAreTrimmedThenCutToTheirFieldsAndBytesAfterTheRecordKept) {
    const QByteArray tail("\x01\x02 something another version keeps here");
    ASSERT_TRUE(writeBytes(path, QByteArray(1000, '\0') + tail));
    const QString exact = QStringLiteral("http://radar.example/") + QString(239, u'a');
    Settings s = load();
    s.NationalMapUrl = exact;
    EXPECT_EQ(saveAndLoad(s).NationalMapUrl, exact); // 260 characters stay whole

    s.NationalMapUrl = exact + QStringLiteral("bbbb");
    s.MsgOffMap = QStringLiteral("   1") + QString(99, u'0');
    s.EtaSavePath = QStringLiteral("   /data/eta.txt");
    EXPECT_EQ(saveAndLoad(s).NationalMapUrl, exact);
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes.mid(16, 100), "1" + QByteArray(99, '0'));
    EXPECT_EQ(bytes.mid(144, 16), "/data/eta.txt   ");
    EXPECT_EQ(bytes.mid(1000), tail);
}

TEST_F(SettingsFile, FailuresAreReportedAndTheOldRecordKept) {
    Settings s;
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    const QByteArray before = readBytes(path);
    {
        const nubivista::testing::FileSizeLimit diskFull(500); // fails halfway
        s.ProductIndex = 2;
        EXPECT_FALSE(saveSettingsFile(path, s).error.isEmpty());
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(saveSettingsFile(dir.path(), s).ok);
    EXPECT_FALSE(saveSettingsFile(dir.filePath(QStringLiteral("missing/Nubivista.ini")), s).ok);
    EXPECT_FALSE(loadSettingsFile(dir.filePath(QStringLiteral("none.ini"))).settings);
}

TEST(SettingsDefaultFile, TheShippedRecordHoldsTheProgramDefaults) {
    const QString path = QStringLiteral(NUBIVISTA_APP_DIR "/Nubivista.ini");
    const QByteArray bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 1000) << "build the default_settings target: " << qPrintable(path);
    // Raw bytes, independent of the codec.
    EXPECT_EQ(bytes.left(116), QByteArray(16, '\0') + QByteArray(100, '0'));
    EXPECT_EQ(bytes.mid(426, 12).toHex(), "64000000f4010000e8030000");
    EXPECT_EQ(bytes.mid(448, 14).toHex(), "0000803fc73af2410000"
                                          "06000000");
    const QByteArray url("http://weather.noaa.gov/radar/national.html");
    EXPECT_EQ(bytes.mid(472, 260), url.leftJustified(260, ' '));
    EXPECT_EQ(decodeTitleCode(bytes.mid(748, 248)), QStringLiteral("Nubivista"));
    EXPECT_FALSE(bytes.contains("Nubivista")); // the title is held only in its encoded form
}

TEST(AtomicFile, WriteAllReportsADeviceThatStopsTakingBytes) {
    nubivista::testing::FailDevice device(300);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    EXPECT_FALSE(writeAll(device, QByteArray(1000, 'x')));
    EXPECT_EQ(device.data().size(), 300);

    nubivista::testing::FailDevice roomy(5000);
    ASSERT_TRUE(roomy.open(QIODevice::WriteOnly));
    EXPECT_TRUE(writeAll(roomy, QByteArray(1000, 'y')));
}

TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.bin"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(1000, 'a')).ok);
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(10, 'b')).ok);
    EXPECT_EQ(readBytes(path), QByteArray(10, 'b'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("record.bin")});
}
