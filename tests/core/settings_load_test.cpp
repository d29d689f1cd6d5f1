// Load rules on damaged and edited records, and the save at close: what the
// next start reads back, what the file keeps, and how a failed write reports.
#include "core/settings.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace nubivista::core;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

Settings loadFrom(const QString& path) {
    const SettingsLoadResult result = loadSettingsFile(path);
    EXPECT_TRUE(result.settings.has_value()) << qPrintable(result.error);
    return result.settings.value_or(Settings{});
}

} // namespace

TEST(SettingsLoadRules, AnAllZeroRecordLoadsTheDefaults) {
    const Settings s = settingsFromRecord(decodeSettingsRecord(QByteArray(1000, '\0')));
    EXPECT_EQ(s.MsgOffMap, QString(100, QLatin1Char('0')));
    EXPECT_EQ(s.NationalMapUrl, QStringLiteral("http://weather.noaa.gov/radar/national.html"));
    EXPECT_EQ(s.EtaSavePath, QString());
    EXPECT_EQ(s.LoopDelayMs, 100);
    EXPECT_EQ(s.FirstExtraMs, 500);
    EXPECT_EQ(s.LastExtraMs, 1000);
    EXPECT_EQ(s.RefreshIntervalMinutes, 6);
    EXPECT_EQ(s.UnitFactor, 1.0f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(s.MapScale), 0x41F23AC7u);
    EXPECT_EQ(s.MapScaleActive, s.MapScale);
    EXPECT_EQ(s.MapScaleLong, s.MapScale / 2);
    EXPECT_EQ(s.LongRangeFlag, 0);
    EXPECT_EQ(s.ZoomFactor, 1.0f);
    EXPECT_EQ(s.TitleCode, QByteArray(kTitleCodeLength, '\0'));
}

TEST(SettingsLoadRules, StoredValuesThatNeedNoRepairAreKept) {
    SettingsRecord r;
    r.MsgOffMap = QStringLiteral("  0110  ");
    r.NationalMapUrl = QStringLiteral("  http://radar.example/national.html ");
    r.EtaSavePath = QStringLiteral(" /home/u/eta list.txt ");
    r.LoopDelayMs = 250;
    r.FirstExtraMs = 1;
    r.LastExtraMs = 2;
    r.RefreshIntervalMinutes = 11;
    r.UnitFactor = 1.609344f;
    r.MapScale = 40.0f;
    r.MainWidth = -5.0f;
    r.ProductIndex = 3;
    const Settings s = settingsFromRecord(r);
    // A short map is made whole: the message window may read any of 100 flags.
    EXPECT_EQ(s.MsgOffMap, QStringLiteral("0110") + QString(96, QLatin1Char('0')));
    EXPECT_EQ(s.NationalMapUrl, QStringLiteral("http://radar.example/national.html"));
    EXPECT_EQ(s.EtaSavePath, QStringLiteral("/home/u/eta list.txt"));
    EXPECT_EQ(s.LoopDelayMs, 250);
    EXPECT_EQ(s.FirstExtraMs, 1);
    EXPECT_EQ(s.LastExtraMs, 2);
    EXPECT_EQ(s.RefreshIntervalMinutes, 11);
    EXPECT_EQ(s.UnitFactor, 1.609344f);
    EXPECT_EQ(s.MapScale, 40.0f);
    EXPECT_EQ(s.MapScaleActive, 40.0f);
    EXPECT_EQ(s.MapScaleLong, 20.0f);
    EXPECT_EQ(s.MainWidth, -5.0f); // sizes load as stored
    EXPECT_EQ(s.ProductIndex, 3);
}

TEST(SettingsLoadRules, DamagedTextsResetToTheirDefaults) {
    SettingsRecord r;
    r.MsgOffMap = QStringLiteral("0111") + QChar(u'\0') + QStringLiteral("1");
    r.NationalMapUrl = QStringLiteral("http://radar.example/") + QChar(u'\0');
    r.EtaSavePath = QStringLiteral("/tmp/eta.txt") + QString(20, QChar(u'\0'));
    Settings s = settingsFromRecord(r);
    EXPECT_EQ(s.MsgOffMap, QString(100, QLatin1Char('0')));
    EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl);
    EXPECT_EQ(s.EtaSavePath, QStringLiteral("/tmp/eta.txt"));

    r.NationalMapUrl = QString(260, QLatin1Char(' '));
    s = settingsFromRecord(r);
    EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl);
}

TEST(SettingsLoadRules, NegativeOrNonNumericPositionsBecomeZero) {
    struct Case {
        float stored;
        float loaded;
    };
    const Case cases[] = {{-1.0f, 0.0f},
                          {-15000.0f, 0.0f},
                          {0.0f, 0.0f},
                          {1234.5f, 1234.5f},
                          {std::numeric_limits<float>::quiet_NaN(), 0.0f},
                          {-INFINITY, 0.0f}};
    for (const Case& c : cases) {
        SettingsRecord r;
        r.MainLeft = r.MainTop = r.EtaLeft = r.EtaTop = c.stored;
        const Settings s = settingsFromRecord(r);
        EXPECT_EQ(s.MainLeft, c.loaded) << c.stored;
        EXPECT_EQ(s.MainTop, c.loaded) << c.stored;
        EXPECT_EQ(s.EtaLeft, c.loaded) << c.stored;
        EXPECT_EQ(s.EtaTop, c.loaded) << c.stored;
    }
}

TEST(SettingsLoadRules, ZoomAlwaysStartsAtOneAndIsStillSaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    SettingsRecord r;
    r.ZoomFactor = 3.0f;
    ASSERT_TRUE(writeFile(path, encodeSettingsRecord(r)));
    Settings s = loadFrom(path);
    EXPECT_EQ(s.ZoomFactor, 1.0f);

    s.ZoomFactor = 2.5f;
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    EXPECT_EQ(decodeSettingsRecord(readFile(path)).ZoomFactor, 2.5f);
    EXPECT_EQ(loadFrom(path).ZoomFactor, 1.0f);
}

TEST(SettingsLoadRules, NavsGoToPageUrlChangesOnlyForTheNextRun) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    SettingsRecord r;
    r.NavsGoToPageUrl = 1;
    ASSERT_TRUE(writeFile(path, encodeSettingsRecord(r)));

    Settings thisRun = loadFrom(path);
    EXPECT_EQ(thisRun.NavsGoToPageUrl, 1);
    EXPECT_EQ(thisRun.NavsGoToPageUrlNext, 1);

    thisRun.NavsGoToPageUrlNext = 0; // the Options window's change
    ASSERT_TRUE(saveSettingsFile(path, thisRun).ok);
    EXPECT_EQ(readFile(path).mid(996, 2).toHex(), "0000");
    const Settings nextRun = loadFrom(path);
    EXPECT_EQ(nextRun.NavsGoToPageUrl, 0);
    EXPECT_EQ(nextRun.NavsGoToPageUrlNext, 0);
}

TEST(SettingsSave, NationalMapUrlOf260StaysWholeLongerIsCut) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    const QString exact = QStringLiteral("http://radar.example/") + QString(239, QLatin1Char('a'));
    ASSERT_EQ(exact.size(), 260);

    Settings s;
    s.NationalMapUrl = exact;
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    EXPECT_EQ(loadFrom(path).NationalMapUrl, exact);

    s.NationalMapUrl = exact + QStringLiteral("bbbb");
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    EXPECT_EQ(readFile(path).size(), 1000);
    EXPECT_EQ(loadFrom(path).NationalMapUrl, exact);
}

TEST(SettingsSave, TextsAreTrimmedBeforeTheyAreCut) {
    Settings s;
    s.MsgOffMap = QStringLiteral("   1") + QString(99, QLatin1Char('0'));
    s.EtaSavePath = QStringLiteral("   /data/eta.txt");
    const SettingsRecord r = recordFromSettings(s);
    const QByteArray bytes = encodeSettingsRecord(r);
    EXPECT_EQ(bytes.mid(16, 100), QByteArray("1") + QByteArray(99, '0'));
    EXPECT_EQ(bytes.mid(144, 16), QByteArray("/data/eta.txt   "));
}

TEST(SettingsSave, EveryFieldSurvivesASaveAndLoad) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    Settings s;
    s.MainLeft = 100;
    s.MainTop = 200;
    s.MainWidth = 9000;
    s.MainHeight = 8000;
    s.MsgOffMap[41] = QLatin1Char('1');
    s.EtaLeft = 1;
    s.EtaTop = 2;
    s.EtaWidth = 3;
    s.EtaHeight = 4;
    s.EtaCol1Width = 5;
    s.EtaCol2Width = 6;
    s.EtaOnTop = 1;
    s.EtaClearAtClose = 1;
    s.EtaSavePath = QStringLiteral("/data/eta.txt");
    s.ProductIndex = 4;
    s.LongRangeChecked = 1;
    s.BackDateChecked = 1;
    s.ClockUtc = 1;
    s.ClockOff = 1;
    s.TimeDisplayMode = 2;
    s.EtaUseDirection = 1;
    s.TwoClickEta = 1;
    s.PopupLists = 3;
    s.NoToolTips = 1;
    s.HideStatusBar = 1;
    s.LoopDelayMs = 300;
    s.FirstExtraMs = 700;
    s.LastExtraMs = 1500;
    s.RockMode = 1;
    s.StampAdjustMinutes = -4.5;
    s.UnitFactor = 0.8689762f;
    s.MapScale = 33.0f;
    s.OptionsOnTop = 1;
    s.RefreshIntervalMinutes = 12;
    s.HideStampBox = 1;
    s.FitToImage = 1;
    s.AutoClickTab = 1;
    s.NationalMapUrl = QStringLiteral("http://radar.example/national.html");
    s.ReservedWords = {7, 8, 9, -10};
    s.TitleCode = QByteArray(kTitleCodeLength, '\xee');
    s.NavsGoToPageUrl = 1;
    s.NavsGoToPageUrlNext = 1;
    s.LoadAllBackDateFiles = 1;
    ASSERT_TRUE(saveSettingsFile(path, s).ok);

    const Settings back = loadFrom(path);
    EXPECT_EQ(encodeSettingsRecord(recordFromSettings(back)),
              encodeSettingsRecord(recordFromSettings(s)));
}

TEST(SettingsSave, BytesAfterTheRecordAreKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    const QByteArray tail("\x01\x02 something another version keeps here", 41);
    ASSERT_TRUE(writeFile(path, QByteArray(1000, '\0') + tail));

    Settings s = loadFrom(path);
    s.ProductIndex = 2;
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    const QByteArray saved = readFile(path);
    ASSERT_EQ(saved.size(), 1000 + tail.size());
    EXPECT_EQ(saved.mid(1000), tail);
    EXPECT_EQ(saved.mid(404, 2).toHex(), "0200");
}

TEST(SettingsSave, AShortFileLoadsAndIsSavedWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    SettingsRecord r;
    r.ProductIndex = 5;
    r.NavsGoToPageUrl = 1;
    ASSERT_TRUE(writeFile(path, encodeSettingsRecord(r).left(700)));

    const Settings s = loadFrom(path);
    EXPECT_EQ(s.ProductIndex, 5);
    EXPECT_EQ(s.NavsGoToPageUrl, 0); // past the end of the file
    // The map address is cut off by the file's end: NULs, so the default.
    EXPECT_EQ(s.NationalMapUrl, kDefaultNationalMapUrl);
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    EXPECT_EQ(readFile(path).size(), 1000);
}

TEST(SettingsSave, FailuresAreReportedAndTheOldRecordKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nubivista.ini"));
    Settings s;
    s.ProductIndex = 1;
    ASSERT_TRUE(saveSettingsFile(path, s).ok);
    const QByteArray before = readFile(path);

    {
        // The disk fills up halfway through the record.
        const nubivista::testing::FileSizeLimit limit(500);
        s.ProductIndex = 2;
        const WriteOutcome outcome = saveSettingsFile(path, s);
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(outcome.error.isEmpty());
    }
    EXPECT_EQ(readFile(path), before);

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    EXPECT_FALSE(saveSettingsFile(dir.filePath(QStringLiteral("folder.ini")), s).ok);
    EXPECT_FALSE(saveSettingsFile(dir.filePath(QStringLiteral("missing/Nubivista.ini")), s).ok);
}

TEST(SettingsLoad, AMissingFileIsAFailure) {
    QTemporaryDir dir;
    const SettingsLoadResult result = loadSettingsFile(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_FALSE(result.settings.has_value());
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(SettingsDefaultFile, TheShippedRecordHoldsTheProgramDefaults) {
    const QString path = QStringLiteral(NUBIVISTA_APP_DIR "/Nubivista.ini");
    const QByteArray bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 1000) << "build the default_settings target: " << qPrintable(path);

    // Raw bytes, independent of the codec.
    EXPECT_EQ(bytes.mid(0, 16), QByteArray(16, '\0'));
    EXPECT_EQ(bytes.mid(16, 100), QByteArray(100, '0'));
    EXPECT_EQ(bytes.mid(144, 260), QByteArray(260, ' '));
    EXPECT_EQ(bytes.mid(426, 12).toHex(), "64000000f4010000e8030000");
    EXPECT_EQ(bytes.mid(448, 8).toHex(), "0000803fc73af241");
    EXPECT_EQ(bytes.mid(458, 4).toHex(), "06000000");
    EXPECT_EQ(bytes.mid(464, 4).toHex(), "0000803f");
    const QByteArray url("http://weather.noaa.gov/radar/national.html");
    EXPECT_EQ(bytes.mid(472, 260), url + QByteArray(260 - url.size(), ' '));
    EXPECT_EQ(decodeTitleCode(bytes.mid(748, 248)), QStringLiteral("Nubivista"));

    const Settings s = loadFrom(path);
    EXPECT_EQ(encodeSettingsRecord(recordFromSettings(s)), bytes);
}
