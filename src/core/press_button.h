#pragma once
// A command button that reports presses and releases of any mouse button with
// the keyboard state, as the press-and-hold buttons and the right-click
// commands need. A release is also reported when the button is hidden or
// disabled while held, so that no hold loop outlives its button.
#include <QPushButton>

namespace nubivista::core {

class PressButton : public QPushButton {
    Q_OBJECT
public:
    explicit PressButton(const QString& caption, QWidget* parent = nullptr);

    bool held() const { return held_; }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void releaseHold();

    bool held_ = false;
    Qt::MouseButton heldButton_ = Qt::NoButton;
};

// The shift state of the old key handlers: 1 Shift, 2 Ctrl, 4 Alt, added.
int shiftState(Qt::KeyboardModifiers modifiers);

} // namespace nubivista::core
