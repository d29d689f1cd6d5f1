#pragma once
// The Options window's own fields, what its load derives from the settings,
// and what its close hands on to the main window.
#include <QString>
#include <cstdint>
#include <optional>

namespace nubivista::core {
struct Settings;
}

namespace nubivista::options {

struct OptionsState {
    float ScaleDisplay = 0;               // pixels per chosen unit, as shown in Text2
    std::int16_t PendingNoToolTips = 0;   // Check1, applied at close
    std::int16_t PendingHideStampBox = 0; // Check6, applied at close
    std::int16_t OptionsChanged = 0;      // Text1 edited, Check1, Check6 or Restore Defaults
    std::int16_t ShortScaleActive = 0;    // a short-range image was measured at load
    std::int16_t LoadDone = 0;
    std::int16_t ActivatedOnce = 0;
};

// The load's view of the settings: the pending switches, whether the short
// scale is active, the unit to select and the shown scale. A UnitFactor of
// exactly 1.0 or 0 is set to 1.0 (miles).
struct OptionsAtLoad {
    OptionsState state;
    int unit = 0;
};
OptionsAtLoad optionsAtLoad(core::Settings& settings);

// What the close applies. Nothing when no option of the close was touched;
// otherwise the trimmed map address, and each switch whose pending state
// differs from its setting.
struct CloseChanges {
    std::optional<QString> nationalMapUrl;
    std::optional<std::int16_t> noToolTips;
    std::optional<std::int16_t> hideStampBox;
};
CloseChanges changesAtClose(const OptionsState& state, const QString& text1,
                            const core::Settings& settings);

} // namespace nubivista::options
