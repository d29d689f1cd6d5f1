#pragma once
// Restore Defaults: the settings of the tab in front go back to the
// program's defaults; the other tab's settings and OptionsOnTop stay.
#include "options/options_state.h"

#include <QString>

namespace nubivista::core {
struct Settings;
}

namespace nubivista::options {

inline constexpr int kGeneralTab = 0;
inline constexpr int kDistanceTab = 1;

// The map address, the tooltip switch (pending), the message map, the two
// extra loop delays, the next run's page navigation and the back-date file
// choice.
void restoreGeneralDefaults(core::Settings& settings, OptionsState& state);

// The stamp minutes, miles as the unit (MapScale kept, the shown value
// converted), the derived scales, ETA direction, the stamp box switch
// (pending), two-click ETA and the pop-up lists.
void restoreDistanceDefaults(core::Settings& settings, OptionsState& state);

void restoreTabDefaults(int tab, core::Settings& settings, OptionsState& state);

// The notice after a restore (message 1).
QString defaultsRestoredText();

} // namespace nubivista::options
