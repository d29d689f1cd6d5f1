#pragma once
// Zoom and scroll arithmetic without widgets, in twips.

namespace nubivista::display {

struct ScrollAllowance {
    double horizontal = 0; // 240 when the picture is wider than the view
    double vertical = 0;   // 240 when the picture is taller than the view
    double hOverflow = 0;  // how much of the picture's width lies outside the view
    double vOverflow = 0;
};

} // namespace nubivista::display
