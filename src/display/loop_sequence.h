#pragma once
// Loop sequencing without widgets: which tab the loop shows next and for how
// long, from the slots' filled flags and the skip boxes.

namespace nubivista::display {

struct LoopCursor {
    int position = 0;  // tab shown last, 0 = the next tick starts a new run
    int direction = 1; // +1 forward, -1 backward
};

} // namespace nubivista::display
