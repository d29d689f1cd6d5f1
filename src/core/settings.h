#pragma once
// The settings working values: read once at start from the settings file, with
// damaged or missing values repaired, changed by the windows during the run and
// written back once at close. One Settings object is made at start-up and
// passed by reference to whoever reads or changes it.
#include "core/atomic_file.h"
#include "core/settings_record.h"
#include "core/window_placement.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace nubivista::core {

inline const QString kDefaultNationalMapUrl =
    QStringLiteral("http://weather.noaa.gov/radar/national.html");

inline constexpr std::int32_t kDefaultLoopDelayMs = 100;
inline constexpr std::int32_t kDefaultFirstExtraMs = 500;
inline constexpr std::int32_t kDefaultLastExtraMs = 1000;
inline constexpr std::int32_t kDefaultRefreshIntervalMinutes = 6;
inline constexpr float kDefaultUnitFactor = 1.0f;
inline constexpr std::uint32_t kDefaultMapScaleBits = 0x41F23AC7; // 30.2787 twips per mile

float defaultMapScale();

// The member initialisers are the program's own defaults: a default-made
// Settings is what the distributed settings file holds.
struct Settings {
    float MainLeft = 0;
    float MainTop = 0;
    float MainWidth = 0;
    float MainHeight = 0;
    // One "0"/"1" flag per message id 1..100; always exactly 100 characters
    // after a load, so the message window may read any of them.
    QString MsgOffMap = QString(kMsgOffMapLength, QLatin1Char('0'));
    float EtaLeft = 0;
    float EtaTop = 0;
    float EtaWidth = 0;
    float EtaHeight = 0;
    float EtaCol1Width = 0;
    float EtaCol2Width = 0;
    std::int16_t EtaOnTop = 0;
    std::int16_t EtaClearAtClose = 0;
    QString EtaSavePath;
    std::int16_t ProductIndex = 0;
    std::int16_t LongRangeChecked = 0;
    std::int16_t BackDateChecked = 0;
    std::int16_t ClockUtc = 0;
    std::int16_t ClockOff = 0;
    std::int16_t TimeDisplayMode = 0;
    std::int16_t EtaUseDirection = 0;
    std::int16_t TwoClickEta = 0;
    std::int16_t PopupLists = 0;
    std::int16_t NoToolTips = 0;
    std::int16_t HideStatusBar = 0;
    std::int32_t LoopDelayMs = kDefaultLoopDelayMs;
    std::int32_t FirstExtraMs = kDefaultFirstExtraMs;
    std::int32_t LastExtraMs = kDefaultLastExtraMs;
    std::int16_t RockMode = 0;
    double StampAdjustMinutes = 0;
    float UnitFactor = kDefaultUnitFactor;
    float MapScale = defaultMapScale();
    std::int16_t OptionsOnTop = 0;
    std::int32_t RefreshIntervalMinutes = kDefaultRefreshIntervalMinutes;
    std::int16_t HideStampBox = 0;
    float ZoomFactor = 1.0f;
    std::int16_t FitToImage = 0;
    std::int16_t AutoClickTab = 0;
    QString NationalMapUrl = kDefaultNationalMapUrl;
    std::array<std::int32_t, kReservedWordCount> ReservedWords{};
    QByteArray TitleCode = defaultTitleCode();
    // The value in force for this run, and the one chosen for the next run
    // (the Options window changes only the latter; the latter is saved).
    std::int16_t NavsGoToPageUrl = 0;
    std::int16_t NavsGoToPageUrlNext = 0;
    std::int16_t LoadAllBackDateFiles = 0;

    // Derived at load, not stored.
    float MapScaleActive = defaultMapScale();
    float MapScaleLong = defaultMapScale() / 2;
    std::int16_t LongRangeFlag = 0;

    static QByteArray defaultTitleCode();
};

// Applies the load rules to a record read from the file.
Settings settingsFromRecord(const SettingsRecord& record);

// The record that the save writes: texts trimmed (then cut or padded by the
// codec), the next run's NavsGoToPageUrl value, ZoomFactor as it is now.
SettingsRecord recordFromSettings(const Settings& settings);

struct SettingsLoadResult {
    std::optional<Settings> settings;
    QString error; // why the file could not be read, when settings is empty
};

// Reads record 1 of the settings file; a file shorter than a record reads its
// missing bytes as zeros.
SettingsLoadResult loadSettingsFile(const QString& path);

// Writes the record atomically; whatever the existing file holds past its
// first 1000 bytes is kept after the new record.
WriteOutcome saveSettingsFile(const QString& path, const Settings& settings);

// The main window's stored placement, and storing it back (see
// placementAtClose for when the close replaces it).
WindowPlacement mainWindowPlacement(const Settings& settings);
void storeMainWindowPlacement(Settings& settings, const WindowPlacement& placement);

} // namespace nubivista::core
