#include "core/press_button.h"

#include <QMouseEvent>

namespace nubivista::core {

PressButton::PressButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void PressButton::mousePressEvent(QMouseEvent* event) {
    held_ = true;
    heldButton_ = event->button();
    // The left button also gets the ordinary pressed look and click.
    if (event->button() == Qt::LeftButton)
        QPushButton::mousePressEvent(event);
    else
        event->accept();
    emit mouseDown(event->button(), event->modifiers());
}

void PressButton::mouseReleaseEvent(QMouseEvent* event) {
    held_ = false;
    heldButton_ = Qt::NoButton;
    if (event->button() == Qt::LeftButton)
        QPushButton::mouseReleaseEvent(event);
    else
        event->accept();
    emit mouseUp(event->button(), event->modifiers());
}

void PressButton::releaseHold() {
    if (!held_)
        return;
    held_ = false;
    const Qt::MouseButton button = heldButton_;
    heldButton_ = Qt::NoButton;
    emit mouseUp(button, Qt::NoModifier);
}

void PressButton::hideEvent(QHideEvent* event) {
    releaseHold();
    QPushButton::hideEvent(event);
}

void PressButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        releaseHold();
    QPushButton::changeEvent(event);
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= 1;
    if (modifiers & Qt::ControlModifier)
        state |= 2;
    if (modifiers & Qt::AltModifier)
        state |= 4;
    return state;
}

} // namespace nubivista::core
