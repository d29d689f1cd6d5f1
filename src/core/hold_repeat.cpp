#include "core/hold_repeat.h"

#include "core/wait_ticks.h"

namespace nubivista::core {

void HoldRepeat(const QObject* owner, const Clock& clock, const std::function<bool()>& held,
                const std::function<void()>& step, int firstPauseMs, int repeatPauseMs) {
    const QPointer<const QObject> alive(owner);
    int pause = firstPauseMs;
    do {
        step();
        WaitTicks(pause, clock);
        if (owner && !alive)
            return;
        pause = repeatPauseMs;
    } while (held());
}

} // namespace nubivista::core
