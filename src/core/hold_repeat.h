#pragma once
// Press-and-hold: one step at once, the next after a first pause, then one
// every repeat pause while the button stays held. The waits let window
// events run, so the button's release (which clears the held flag) is seen.
#include "core/clock.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace nubivista::core {

inline constexpr int kHoldFirstPauseMs = 750;
inline constexpr int kHoldRepeatPauseMs = 50;

// Runs step() while held() is true, pausing firstPauseMs after the first
// step and repeatPauseMs after each later one. The first step always runs.
// Returns early when owner is destroyed during a wait (the window closed).
void HoldRepeat(const QObject* owner, const Clock& clock, const std::function<bool()>& held,
                const std::function<void()>& step, int firstPauseMs = kHoldFirstPauseMs,
                int repeatPauseMs = kHoldRepeatPauseMs);

} // namespace nubivista::core
