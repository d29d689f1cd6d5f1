#include "display/manual_stepping.h"

#include "display/loop_display.h"

namespace nubivista::display {

ManualStepping::ManualStepping(LoopDisplay& display) : display_(display) {}
void ManualStepping::StepTab(int, Qt::MouseButton) {}
void ManualStepping::Command60_MouseUp() {}
void ManualStepping::Command61_MouseUp() {}

} // namespace nubivista::display
