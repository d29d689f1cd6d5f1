#include "core/settings.h"

#include "core/ansi_text.h"
#include "core/app_identity.h"
#include "core/file_checks.h"

#include <QFile>
#include <bit>
#include <cmath>

namespace nubivista::core {

namespace {

// Window positions below zero (or not numbers at all) would put the window
// off the desktop; they load as 0.
float nonNegativePosition(float value) {
    return (std::isfinite(value) && value >= 0) ? value : 0.0f;
}

QString loadMsgOffMap(const QString& stored) {
    QString map = trimSpaces(stored);
    if (map.contains(QChar(u'\0')))
        map.clear();
    // The message window reads the flag of any id 1..100: never a short map.
    return map.leftJustified(kMsgOffMapLength, QLatin1Char('0'), true);
}

QString loadNationalMapUrl(const QString& stored) {
    const QString url = trimSpaces(stored);
    if (url.isEmpty() || url.contains(QChar(u'\0')))
        return kDefaultNationalMapUrl;
    return url;
}

} // namespace

float defaultMapScale() {
    return std::bit_cast<float>(kDefaultMapScaleBits);
}

QByteArray Settings::defaultTitleCode() {
    return encodeTitleCode(kProgramTitle);
}

Settings::Settings() {
    MsgOffMap = QString(kMsgOffMapLength, QLatin1Char('0'));
    LoopDelayMs = kDefaultLoopDelayMs;
    FirstExtraMs = kDefaultFirstExtraMs;
    LastExtraMs = kDefaultLastExtraMs;
    UnitFactor = kDefaultUnitFactor;
    MapScale = defaultMapScale();
    RefreshIntervalMinutes = kDefaultRefreshIntervalMinutes;
    ZoomFactor = 1.0f;
    NationalMapUrl = kDefaultNationalMapUrl;
    TitleCode = defaultTitleCode();
}

Settings settingsFromRecord(const SettingsRecord& record) {
    Settings s;
    static_cast<SettingsRecord&>(s) = record;

    s.MainLeft = nonNegativePosition(s.MainLeft);
    s.MainTop = nonNegativePosition(s.MainTop);
    s.EtaLeft = nonNegativePosition(s.EtaLeft);
    s.EtaTop = nonNegativePosition(s.EtaTop);
    s.MsgOffMap = loadMsgOffMap(s.MsgOffMap);
    // A file path cannot hold NUL characters; a damaged field keeps what
    // comes before the first one.
    s.EtaSavePath = trimSpaces(CutAtNul(s.EtaSavePath));
    s.NationalMapUrl = loadNationalMapUrl(s.NationalMapUrl);
    if (s.LoopDelayMs == 0)
        s.LoopDelayMs = kDefaultLoopDelayMs;
    if (s.FirstExtraMs == 0)
        s.FirstExtraMs = kDefaultFirstExtraMs;
    if (s.LastExtraMs == 0)
        s.LastExtraMs = kDefaultLastExtraMs;
    if (s.UnitFactor == 0)
        s.UnitFactor = kDefaultUnitFactor;
    if (s.MapScale == 0)
        s.MapScale = defaultMapScale();
    if (s.RefreshIntervalMinutes == 0)
        s.RefreshIntervalMinutes = kDefaultRefreshIntervalMinutes;
    s.ZoomFactor = 1.0f; // every run starts unzoomed, whatever was stored

    s.NavsGoToPageUrlNext = s.NavsGoToPageUrl;
    s.MapScaleActive = s.MapScale;
    s.MapScaleLong = s.MapScale / 2;
    s.LongRangeFlag = 0;
    return s;
}

SettingsRecord recordFromSettings(const Settings& settings) {
    SettingsRecord r = settings; // the stored fields only
    r.MsgOffMap = trimSpaces(r.MsgOffMap);
    r.EtaSavePath = trimSpaces(r.EtaSavePath);
    r.NationalMapUrl = trimSpaces(r.NationalMapUrl);
    r.NavsGoToPageUrl = settings.NavsGoToPageUrlNext;
    return r;
}

SettingsLoadResult loadSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, file.errorString()};
    const std::optional<SettingsRecord> record = readSettingsRecord(file);
    if (!record)
        return {std::nullopt, file.errorString()};
    return {settingsFromRecord(*record), {}};
}

WriteOutcome saveSettingsFile(const QString& path, const Settings& settings) {
    QByteArray bytes = encodeSettingsRecord(recordFromSettings(settings));

    // Whatever follows the record in the existing file is not ours to drop.
    QFile existing(path);
    if (existing.exists() && existing.size() > kSettingsRecordSize) {
        if (!existing.open(QIODevice::ReadOnly) || !existing.seek(kSettingsRecordSize))
            return {false, existing.errorString()};
        const QByteArray tail = existing.readAll();
        if (tail.size() != existing.size() - kSettingsRecordSize)
            return {false, existing.errorString()};
        bytes.append(tail);
    }
    return writeFileAtomically(path, bytes);
}

WindowPlacement mainWindowPlacement(const Settings& settings) {
    return {settings.MainLeft, settings.MainTop, settings.MainWidth, settings.MainHeight};
}

void storeMainWindowPlacement(Settings& settings, const WindowPlacement& placement) {
    settings.MainLeft = placement.left;
    settings.MainTop = placement.top;
    settings.MainWidth = placement.width;
    settings.MainHeight = placement.height;
}

} // namespace nubivista::core
