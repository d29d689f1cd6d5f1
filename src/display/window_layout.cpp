#include "display/window_layout.h"

#include "display/loop_display.h"

namespace nubivista::display {

WindowLayout::WindowLayout(LoopDisplay& display) : display_(display) {}
void WindowLayout::load() {}
void WindowLayout::Form_Resize() {}
void WindowLayout::LayoutControls() {}
void WindowLayout::Command13_MouseDown(Qt::MouseButton) {}
void WindowLayout::Command3_Click() {}
void WindowLayout::mnuStatusBar_Click() {}
void WindowLayout::Form_KeyDown(int, Qt::KeyboardModifiers) {}
void WindowLayout::SystemColorsChanged() {}
void WindowLayout::guardTextBox(int) {}
bool WindowLayout::eventFilter(QObject* watched, QEvent* event) {
    return QObject::eventFilter(watched, event);
}

} // namespace nubivista::display
