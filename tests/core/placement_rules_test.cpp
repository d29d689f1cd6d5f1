// The main window's placement: what the close stores, and the default
// placement when the stored one cannot place the window.
#include "core/window_placement.h"

#include <gtest/gtest.h>

using namespace nubivista::core;

namespace {
const WindowPlacement kStored{1000, 800, 9000, 7000};
}

TEST(PlacementAtClose, OnlyANormalWindowOfUsefulSizeIsStored) {
    struct Case {
        const char* name;
        WindowShowState state;
        WindowPlacement current;
        bool stored;
    };
    const Case cases[] = {
        {"normal and big enough", WindowShowState::Normal, {50, 60, 10000, 8000}, true},
        {"exactly the smallest", WindowShowState::Normal, {50, 60, 6045, 5355}, true},
        {"6044 wide", WindowShowState::Normal, {50, 60, 6044, 8000}, false},
        {"5354 high", WindowShowState::Normal, {50, 60, 10000, 5354}, false},
        {"maximised", WindowShowState::Maximized, {0, 0, 28800, 15600}, false},
        {"minimised", WindowShowState::Minimized, {50, 60, 10000, 8000}, false},
    };
    for (const Case& c : cases) {
        const WindowPlacement result = placementAtClose(kStored, c.current, c.state);
        EXPECT_EQ(result, c.stored ? c.current : kStored) << c.name;
    }
}

TEST(DefaultPlacement, UsedWhenTheStoredPlacementCannotPlaceAWindow) {
    const WindowPlacement work{0, 0, 28800, 15600};
    for (const WindowPlacement& stored : {WindowPlacement{0, 0, 0, 0},
                                          {100, 100, 0, 7000},
                                          {100, 100, 9000, -1},
                                          {100, 100, NAN, 7000}})
        EXPECT_EQ(placementAtStart(stored, work), defaultPlacement(work)) << stored.width;
    EXPECT_EQ(placementAtStart(kStored, work), kStored);
    EXPECT_EQ(placementAtStart({0, 0, 9000, 7000}, work), (WindowPlacement{0, 0, 9000, 7000}));
}
