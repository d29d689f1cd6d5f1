#pragma once
// The loop animation: Run/Stop, Loop/Rock, the loop delay buttons and the
// Timer4 tick that selects the tabs one after another, each for its own time.
#include "display/loop_sequence.h"

#include <QObject>
#include <QTimer>

namespace nubivista::display {

class LoopDisplay;

class LoopAnimation : public QObject {
    Q_OBJECT
public:
    explicit LoopAnimation(LoopDisplay& display);

    // Window load: Timer4's interval and Text11 from the loop delay, the
    // Loop/Rock caption from the rock mode.
    void load();

    bool running() const { return timer4_.isActive(); }
    QTimer& Timer4() { return timer4_; }

    void Command18_MouseDown();
    void Command19_MouseDown();
    void Command40_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command41_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command40_MouseUp();
    void Command41_MouseUp();
    void LoopTick();
    // The skip boxes' states, by tab.
    TabFlags readSkipBoxes() const;

private:
    // Steps the loop delay once, then again while the button stays held.
    void holdDelayButton(int direction, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void setLoopDelay(int delayMs);
    // The tabs as this tick sees them: filled through the ring, skip boxes.
    LoopTabs readTabs() const;
    void stop();

    LoopDisplay& display_;
    QTimer timer4_;
    LoopCursor cursor_;
    bool delayHeld_ = false;
};

} // namespace nubivista::display
