// The Options window's arithmetic: the map scale and its text in each unit,
// the hold steps and limits, what the close applies, and Restore Defaults.
#include "core/settings.h"
#include "options/hold_steps.h"
#include "options/map_scale.h"
#include "options/options_state.h"
#include "options/tab_defaults.h"
#include "qstring_print.h"

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

TEST(MapScale, UnitAtLoadFollowsTheStoredFactor) {
    const std::tuple<float, int, float> cases[] = {
        {1.0f, kMiles, 1.0f},
        {0.0f, kMiles, 1.0f},
        {1.5f, kKilometers, 1.5f},
        {kNauticalMileFactor, kNauticalMiles, kNauticalMileFactor},
        {-2.0f, kNauticalMiles, -2.0f}};
    for (const auto& [stored, unit, factor] : cases) {
        const UnitAtLoad load = unitAtLoad(stored);
        EXPECT_EQ(load.unit, unit) << stored;
        EXPECT_EQ(load.factor, factor) << stored;
    }
}

TEST(HoldSteps, ScaleStopsAtThreeAndThreeHundredTwipsPerMile) {
    struct Case {
        float display;
        int unit;
        float step;
        bool up;
        float mapScale;
        const char* shown;
    };
    const Case cases[] = {
        {0.2f, kMiles, 1.0f, false, 3.0f, ".200"},
        {0.21f, kMiles, 0.001f, false, 3.135f, ".209"},
        {20.0f, kMiles, 0.1f, true, 300.0f, "20.000"},
        {12.0f, kKilometers, 1.0f, true, 300.0f, "12.427"},
        {2.0f, kNauticalMiles, 0.1f, true, 2.1f * 15 * kNauticalMileFactor, "2.100"},
        {1.0f, kMiles, 0.01f, false, 0.99f * 15, ".990"},
    };
    for (const Case& c : cases) {
        const ScaleAfterStep after = stepScale(c.display, unitFactorOf(c.unit), c.step, c.up);
        EXPECT_NEAR(after.mapScale, c.mapScale, 1e-4) << c.display << " " << c.up;
        EXPECT_EQ(scaleText(after.display), QString::fromLatin1(c.shown)) << c.display;
    }
}

TEST(HoldSteps, DelaysAndMinutesStopAtTheirLimits) {
    EXPECT_EQ(delayStep(false), 10);
    EXPECT_EQ(delayStep(true), 50);
    const std::tuple<std::int32_t, std::int32_t, bool, std::int32_t> delays[] = {
        {4990, 50, true, 5000},
        {5000, 10, true, 5000},
        {30, 50, false, 0},
        {6000, 10, false, 5990},
        {-40, 10, true, -30}};
    for (const auto& [ms, step, up, after] : delays)
        EXPECT_EQ(steppedDelay(ms, step, up), after) << ms << " " << up;

    const std::tuple<double, bool, double> minutes[] = {{14, true, 15},    {15, true, 15},
                                                        {-15, false, -15}, {1.5, true, 2},
                                                        {2.5, true, 4},    {0.4, false, -1}};
    for (const auto& [value, up, after] : minutes)
        EXPECT_EQ(steppedStampMinutes(value, up), after) << value << " " << up;
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

TEST(TabDefaults, DistanceKeepsMapScaleAndRecomputesTheDerivedScales) {
    for (const std::int16_t shortActive : {std::int16_t{0}, std::int16_t{1}}) {
        core::Settings s;
        s.UnitFactor = kKilometerFactor;
        s.MapScale = 60.0f;
        s.MapScaleLong = s.MapScaleActive = 1.0f;
        OptionsState state;
        state.ScaleDisplay = scaleDisplay(s.MapScale, s.UnitFactor);
        state.ShortScaleActive = shortActive;
        restoreTabDefaults(kDistanceTab, s, state);
        EXPECT_EQ(s.UnitFactor, 1.0f);
        EXPECT_EQ(s.MapScale, 60.0f);
        EXPECT_EQ(s.MapScaleLong, 30.0f);
        EXPECT_EQ(s.MapScaleActive, shortActive ? 60.0f : 30.0f);
        EXPECT_EQ(scaleText(state.ScaleDisplay), QStringLiteral("4.000"));
    }
}

} // namespace
