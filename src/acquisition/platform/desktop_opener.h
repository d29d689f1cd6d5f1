#pragma once
// Opening an address with the desktop's own program for it (xdg-open), and
// learning when the desktop has none: xdg-open then ends with an error, a
// while after it was started, so the answer comes back as a call.
#include <QUrl>
#include <functional>

namespace nubivista::platform {

// failed() runs, on the calling thread and never inside this call, when
// there is no opener or the opener reports that it could not open the
// address. An opener that keeps running (it waits for the browser it
// started) counts as success and is never stopped by this program.
void openWithDesktop(const QUrl& address, std::function<void()> failed);

} // namespace nubivista::platform
