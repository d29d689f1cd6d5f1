#include "options/options_state.h"

#include "core/ansi_text.h"
#include "core/settings.h"
#include "options/map_scale.h"

namespace nubivista::options {

OptionsAtLoad optionsAtLoad(core::Settings& settings) {
    OptionsAtLoad load;
    OptionsState& s = load.state;
    s.PendingNoToolTips = settings.NoToolTips;
    s.PendingHideStampBox = settings.HideStampBox;
    s.ShortScaleActive = settings.MapScaleActive == settings.MapScale ? 1 : 0;
    const UnitAtLoad unit = unitAtLoad(settings.UnitFactor);
    settings.UnitFactor = unit.factor;
    load.unit = unit.unit;
    s.ScaleDisplay = scaleDisplay(settings.MapScale, settings.UnitFactor);
    return load;
}

CloseChanges changesAtClose(const OptionsState& state, const QString& text1,
                            const core::Settings& settings) {
    CloseChanges changes;
    if (state.OptionsChanged != 1)
        return changes;
    changes.nationalMapUrl = core::trimSpaces(text1);
    if (state.PendingNoToolTips != settings.NoToolTips)
        changes.noToolTips = state.PendingNoToolTips;
    if (state.PendingHideStampBox != settings.HideStampBox)
        changes.hideStampBox = state.PendingHideStampBox;
    return changes;
}

} // namespace nubivista::options
