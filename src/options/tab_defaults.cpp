#include "options/tab_defaults.h"

#include "core/app_identity.h"
#include "core/settings.h"
#include "options/map_scale.h"

namespace nubivista::options {

void restoreGeneralDefaults(core::Settings& settings, OptionsState& state) {
    settings.NationalMapUrl = core::kDefaultNationalMapUrl;
    state.PendingNoToolTips = 0;
    // Filled in place: the message service reads this very string.
    settings.MsgOffMap.fill(QLatin1Char('0'), core::kMsgOffMapLength);
    settings.FirstExtraMs = core::kDefaultFirstExtraMs;
    settings.LastExtraMs = core::kDefaultLastExtraMs;
    settings.NavsGoToPageUrlNext = 0;
    settings.LoadAllBackDateFiles = 0;
    state.OptionsChanged = 1;
}

void restoreDistanceDefaults(core::Settings& settings, OptionsState& state) {
    settings.StampAdjustMinutes = 0;
    state.ScaleDisplay = convertScaleDisplay(state.ScaleDisplay, settings.UnitFactor, kMileFactor);
    settings.UnitFactor = kMileFactor;
    storeMapScale(settings, settings.MapScale, state.ShortScaleActive == 1);
    settings.EtaUseDirection = 0;
    state.PendingHideStampBox = 0;
    settings.TwoClickEta = 0;
    settings.PopupLists = 0;
    state.OptionsChanged = 1;
}

void restoreTabDefaults(int tab, core::Settings& settings, OptionsState& state) {
    if (tab == kDistanceTab)
        restoreDistanceDefaults(settings, state);
    else
        restoreGeneralDefaults(settings, state);
}

QString defaultsRestoredText() {
    const QString crlf = QStringLiteral("\r\n");
    return crlf + crlf + QStringLiteral("Defaults Restored...For This Tab Only") + crlf +
           QStringLiteral("Changes Are Applied Immediately") + crlf +
           QStringLiteral("And Will Be Saved When") + crlf + QStringLiteral("You Close ") +
           core::kProgramTitle;
}

} // namespace nubivista::options
