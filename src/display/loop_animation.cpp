#include "display/loop_animation.h"

#include "display/loop_display.h"

namespace nubivista::display {

LoopAnimation::LoopAnimation(LoopDisplay& display) : display_(display) {
    timer4_.setObjectName(QStringLiteral("Timer4"));
}
void LoopAnimation::load() {}
void LoopAnimation::Command18_MouseDown() {}
void LoopAnimation::Command19_MouseDown() {}
void LoopAnimation::Command40_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers) {}
void LoopAnimation::Command41_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers) {}
void LoopAnimation::Command40_MouseUp() {}
void LoopAnimation::Command41_MouseUp() {}
void LoopAnimation::LoopTick() {}

} // namespace nubivista::display
