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

Settings settingsFromRecord(const SettingsRecord& r) {
    Settings s;
    s.MainLeft = nonNegativePosition(r.MainLeft);
    s.MainTop = nonNegativePosition(r.MainTop);
    s.MainWidth = r.MainWidth;
    s.MainHeight = r.MainHeight;
    s.MsgOffMap = loadMsgOffMap(r.MsgOffMap);
    s.EtaLeft = nonNegativePosition(r.EtaLeft);
    s.EtaTop = nonNegativePosition(r.EtaTop);
    s.EtaWidth = r.EtaWidth;
    s.EtaHeight = r.EtaHeight;
    s.EtaCol1Width = r.EtaCol1Width;
    s.EtaCol2Width = r.EtaCol2Width;
    s.EtaOnTop = r.EtaOnTop;
    s.EtaClearAtClose = r.EtaClearAtClose;
    // A file path cannot hold NUL characters; a damaged field keeps what
    // comes before the first one.
    s.EtaSavePath = trimSpaces(CutAtNul(r.EtaSavePath));
    s.ProductIndex = r.ProductIndex;
    s.LongRangeChecked = r.LongRangeChecked;
    s.BackDateChecked = r.BackDateChecked;
    s.ClockUtc = r.ClockUtc;
    s.ClockOff = r.ClockOff;
    s.TimeDisplayMode = r.TimeDisplayMode;
    s.EtaUseDirection = r.EtaUseDirection;
    s.TwoClickEta = r.TwoClickEta;
    s.PopupLists = r.PopupLists;
    s.NoToolTips = r.NoToolTips;
    s.HideStatusBar = r.HideStatusBar;
    s.LoopDelayMs = r.LoopDelayMs == 0 ? kDefaultLoopDelayMs : r.LoopDelayMs;
    s.FirstExtraMs = r.FirstExtraMs == 0 ? kDefaultFirstExtraMs : r.FirstExtraMs;
    s.LastExtraMs = r.LastExtraMs == 0 ? kDefaultLastExtraMs : r.LastExtraMs;
    s.RockMode = r.RockMode;
    s.StampAdjustMinutes = r.StampAdjustMinutes;
    s.UnitFactor = r.UnitFactor == 0 ? kDefaultUnitFactor : r.UnitFactor;
    s.MapScale = r.MapScale == 0 ? defaultMapScale() : r.MapScale;
    s.OptionsOnTop = r.OptionsOnTop;
    s.RefreshIntervalMinutes =
        r.RefreshIntervalMinutes == 0 ? kDefaultRefreshIntervalMinutes : r.RefreshIntervalMinutes;
    s.HideStampBox = r.HideStampBox;
    s.ZoomFactor = 1.0f; // every run starts unzoomed, whatever was stored
    s.FitToImage = r.FitToImage;
    s.AutoClickTab = r.AutoClickTab;
    s.NationalMapUrl = loadNationalMapUrl(r.NationalMapUrl);
    s.ReservedWords = r.ReservedWords;
    s.TitleCode = r.TitleCode;
    s.NavsGoToPageUrl = r.NavsGoToPageUrl;
    s.NavsGoToPageUrlNext = r.NavsGoToPageUrl;
    s.LoadAllBackDateFiles = r.LoadAllBackDateFiles;

    s.MapScaleActive = s.MapScale;
    s.MapScaleLong = s.MapScale / 2;
    s.LongRangeFlag = 0;
    return s;
}

SettingsRecord recordFromSettings(const Settings& s) {
    SettingsRecord r;
    r.MainLeft = s.MainLeft;
    r.MainTop = s.MainTop;
    r.MainWidth = s.MainWidth;
    r.MainHeight = s.MainHeight;
    r.MsgOffMap = trimSpaces(s.MsgOffMap);
    r.EtaLeft = s.EtaLeft;
    r.EtaTop = s.EtaTop;
    r.EtaWidth = s.EtaWidth;
    r.EtaHeight = s.EtaHeight;
    r.EtaCol1Width = s.EtaCol1Width;
    r.EtaCol2Width = s.EtaCol2Width;
    r.EtaOnTop = s.EtaOnTop;
    r.EtaClearAtClose = s.EtaClearAtClose;
    r.EtaSavePath = trimSpaces(s.EtaSavePath);
    r.ProductIndex = s.ProductIndex;
    r.LongRangeChecked = s.LongRangeChecked;
    r.BackDateChecked = s.BackDateChecked;
    r.ClockUtc = s.ClockUtc;
    r.ClockOff = s.ClockOff;
    r.TimeDisplayMode = s.TimeDisplayMode;
    r.EtaUseDirection = s.EtaUseDirection;
    r.TwoClickEta = s.TwoClickEta;
    r.PopupLists = s.PopupLists;
    r.NoToolTips = s.NoToolTips;
    r.HideStatusBar = s.HideStatusBar;
    r.LoopDelayMs = s.LoopDelayMs;
    r.FirstExtraMs = s.FirstExtraMs;
    r.LastExtraMs = s.LastExtraMs;
    r.RockMode = s.RockMode;
    r.StampAdjustMinutes = s.StampAdjustMinutes;
    r.UnitFactor = s.UnitFactor;
    r.MapScale = s.MapScale;
    r.OptionsOnTop = s.OptionsOnTop;
    r.RefreshIntervalMinutes = s.RefreshIntervalMinutes;
    r.HideStampBox = s.HideStampBox;
    r.ZoomFactor = s.ZoomFactor;
    r.FitToImage = s.FitToImage;
    r.AutoClickTab = s.AutoClickTab;
    r.NationalMapUrl = trimSpaces(s.NationalMapUrl);
    r.ReservedWords = s.ReservedWords;
    r.TitleCode = s.TitleCode;
    r.NavsGoToPageUrl = s.NavsGoToPageUrlNext;
    r.LoadAllBackDateFiles = s.LoadAllBackDateFiles;
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
