#pragma once
// The main window's layout rules without widgets: window size and flags in,
// twip rectangles out.

namespace nubivista::display {

inline constexpr double kPanelAllowance = 570;

} // namespace nubivista::display
