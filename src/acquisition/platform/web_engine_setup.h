#pragma once
// What the browser engine needs before the application object exists: shared
// GL contexts, Qt Quick's software renderer for the panes (unless
// QT_QUICK_BACKEND says otherwise), and the Chromium flags for this machine.
// Running as root (CI, containers) needs the sandbox off; the offscreen
// platform has no GPU.
// Call first thing in main(); calling it later, before the first pane, still
// sets the flags.
#include <QStringList>

namespace nubivista::platform {

// The Chromium flags for the given conditions, added to those already given.
QStringList chromiumFlags(const QStringList& given, bool runningAsRoot, bool offscreen);

void prepareWebEngineEnvironment();

} // namespace nubivista::platform
