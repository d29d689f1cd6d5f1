// The Options window's arithmetic: the map scale and its text in each unit,
// and what the close applies.
#include "core/settings.h"
#include "options/map_scale.h"
#include "options/options_state.h"
#include "options/tab_defaults.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

using namespace nubivista;
using namespace nubivista::options;

namespace {

QString shownScale(float mapScale, int unit) {
    return scaleText(scaleDisplay(mapScale, unitFactorOf(unit)));
}

TEST(MapScale, TextHasThreeDecimalsAndNoLeadingZeroAndTheDefaultInEachUnit) {
    const std::pair<float, const char*> cases[] = {{0.2f, ".200"},
                                                   {20.0f, "20.000"},
                                                   {12.3456f, "12.346"},
                                                   {0.0004f, ".000"},
                                                   {0.99951f, "1.000"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(scaleText(value), QString::fromLatin1(text)) << value;
    const std::pair<int, const char*> defaults[] = {
        {kMiles, "2.019"}, {kKilometers, "1.254"}, {kNauticalMiles, "2.323"}};
    for (const auto& [unit, text] : defaults)
        EXPECT_EQ(shownScale(core::defaultMapScale(), unit), QString::fromLatin1(text)) << unit;
}

TEST(MapScale, ChangingTheUnitAndBackShowsTheStartValue) {
    for (const float mapScale : {3.0f, core::defaultMapScale(), 47.11f, 300.0f})
        for (int from = kMiles; from <= kNauticalMiles; ++from)
            for (int to = kMiles; to <= kNauticalMiles; ++to) {
                const float start = scaleDisplay(mapScale, unitFactorOf(from));
                const float there =
                    convertScaleDisplay(start, unitFactorOf(from), unitFactorOf(to));
                EXPECT_EQ(scaleText(there), shownScale(mapScale, to));
                const float back = convertScaleDisplay(there, unitFactorOf(to), unitFactorOf(from));
                EXPECT_EQ(scaleText(back), scaleText(start)) << mapScale << " " << from << to;
            }
}

TEST(OptionsState, CloseAppliesOnlyWhatWasTouchedAndDiffers) {
    core::Settings settings;
    OptionsState state;
    state.PendingNoToolTips = 1;
    CloseChanges none = changesAtClose(state, QStringLiteral(" http://x/ "), settings);
    EXPECT_FALSE(none.nationalMapUrl || none.noToolTips || none.hideStampBox)
        << "nothing is applied unless an option of the close was touched";

    state.OptionsChanged = 1;
    CloseChanges changes = changesAtClose(state, QStringLiteral("  http://x/radar/ "), settings);
    EXPECT_EQ(changes.nationalMapUrl, QStringLiteral("http://x/radar/"));
    EXPECT_EQ(changes.noToolTips, std::int16_t{1});
    EXPECT_FALSE(changes.hideStampBox);

    settings.NoToolTips = 1;
    state.PendingHideStampBox = 1;
    changes = changesAtClose(state, settings.NationalMapUrl, settings);
    EXPECT_FALSE(changes.noToolTips);
    EXPECT_EQ(changes.hideStampBox, std::int16_t{1});
}

} // namespace
