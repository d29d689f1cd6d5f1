#pragma once
// The two step buttons beside the tabs: a click steps one image, holding
// steps on, the right button wraps round from one end to the other.
#include <QObject>

namespace nubivista::display {

class LoopDisplay;

class ManualStepping : public QObject {
    Q_OBJECT
public:
    explicit ManualStepping(LoopDisplay& display);

    void StepTab(int direction, Qt::MouseButton button);
    void Command60_MouseUp();
    void Command61_MouseUp();
    bool held() const { return held_; }

private:
    // The search goes on only while the button is held and the loop is not
    // running (a running loop owns the tabs).
    bool stillHeld() const;
    // Whether tab holds an unskipped image.
    bool stepTarget(int tab) const;

    LoopDisplay& display_;
    bool held_ = false;
};

} // namespace nubivista::display
