#pragma once
// The program's one way of waiting: events keep running (timers fire, buttons
// are pressed and released) until the time has passed by the clock's tick
// count. The thread sleeps in the event loop between checks instead of
// spinning, and a handler that runs during a wait may wait again itself; the
// outer wait resumes when the inner one returns.
#include "core/clock.h"

#include <cstdint>
#include <functional>

namespace nubivista::core {

// Returns at once when ms is below 1; otherwise once more than ms milliseconds
// have passed by clock.tickCount(), across the tick count's signed wrap.
void WaitTicks(std::int32_t ms, const Clock& clock);

// Runs events until done() holds or timeoutMs of real time have passed, in the
// same sleeping way; returns done(). For tools and tests that wait on a result.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace nubivista::core
