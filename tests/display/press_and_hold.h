#pragma once
// Pressing a hold button in a window test. The press handler runs its hold
// loop inside the press, so the release comes from a timer its waits run.
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace nubivista::testing {

// Presses button on widget and releases it at the first poll where
// keepHolding() is false, or after the press if its handler returned by
// itself. Fails the test instead of hanging past limitMs of real time.
inline void pressAndHold(QWidget* widget, Qt::MouseButton button,
                         const std::function<bool()>& keepHolding,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier, int limitMs = 20000) {
    bool released = false;
    QElapsedTimer real;
    real.start();
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (released)
            return;
        const bool tooLong = real.elapsed() > limitMs;
        if (tooLong || !keepHolding()) {
            EXPECT_FALSE(tooLong) << "the hold never ended";
            released = true;
            QTest::mouseRelease(widget, button, modifiers);
        }
    });
    poll.start();
    QTest::mousePress(widget, button, modifiers);
    poll.stop();
    if (!released)
        QTest::mouseRelease(widget, button, modifiers);
}

} // namespace nubivista::testing
