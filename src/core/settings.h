#pragma once
// The settings working values: read once at start from the settings file, with
// damaged or missing values repaired, changed by the windows during the run and
// written back once at close. One Settings object is made at start-up and
// passed by reference to whoever reads or changes it.
#include "core/atomic_file.h"
#include "core/settings_record.h"
#include "core/window_placement.h"

#include <QString>
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

// The working values: the record's fields, held once, and the values derived
// from them at load. A default-made Settings holds the program's own defaults,
// which is what the distributed settings file holds. After a load MsgOffMap
// is always exactly 100 "0"/"1" flags (message ids 1..100), so the message
// window may read any of them.
struct Settings : SettingsRecord {
    Settings();

    // NavsGoToPageUrl (in the record) is the value in force for this run;
    // NavsGoToPageUrlNext is the one chosen for the next run. The Options
    // window changes only the latter, and the latter is saved.
    std::int16_t NavsGoToPageUrlNext = 0;

    // Derived at load, not stored.
    float MapScaleActive = defaultMapScale();
    float MapScaleLong = defaultMapScale() / 2;
    std::int16_t LongRangeFlag = 0;

    static QByteArray defaultTitleCode();
};

// The record as read, then the load rules applied: damaged values repaired,
// MsgOffMap made exactly 100 flags, ZoomFactor 1.0, the derived values set.
Settings settingsFromRecord(const SettingsRecord& record);

// The record that the save writes: the stored fields as they are now, texts
// trimmed (then cut or padded by the codec), and the next run's NavsGoToPageUrl.
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
