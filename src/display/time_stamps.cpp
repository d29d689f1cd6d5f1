#include "display/time_stamps.h"

#include "display/loop_display.h"

namespace nubivista::display {

TimeStamps::TimeStamps(LoopDisplay& display) : display_(display) {}
void TimeStamps::WriteTimeText(int) {}
void TimeStamps::Text3_MouseDown(Qt::MouseButton) {}
void TimeStamps::Command30_Click() {}
void TimeStamps::Command31_Click() {}
void TimeStamps::LodTimStmpImg(const QString&, int, bool) {}
void TimeStamps::showBoxOf(int) {}
void TimeStamps::nudgeShownSlot(int, QWidget*) {}
bool TimeStamps::paintBox(const QString&, int) {
    return false;
}

} // namespace nubivista::display
