#pragma once
// What the browser engine needs before the application object exists: Qt
// Quick's software renderer for the panes (unless QT_QUICK_BACKEND says
// otherwise) and, with it, no OpenGL at all; and the Chromium flags for this
// machine. Running as root (CI, containers) needs the sandbox off, and then
// the zygote processes serve nothing.
// Call first thing in main(); calling it later, before the first pane, still
// sets the flags.
#include <QStringList>

namespace nubivista::platform {

// The Chromium flags for the given conditions, added to those already given.
// The panes show a few plain pages for hours: they share one renderer, and
// Chromium's own background traffic (updates, safe browsing, metrics) is off.
// Drawn in software, they need no GPU.
QStringList chromiumFlags(const QStringList& given, bool runningAsRoot, bool softwarePanes);

void prepareWebEngineEnvironment();

} // namespace nubivista::platform
