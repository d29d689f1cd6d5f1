#pragma once
// nubivista --export-gif FILE [--set NAME]: the loop written as an animated
// GIF without a window, for watchers who script their posts. The loop plays
// as the window would start it: the stored loop delays, loop or rock and time
// form from the settings, zoom 1, no image skipped.
#include "app/command_line.h"
#include "core/app_paths.h"
#include "core/clock.h"

#include <QTextStream>

namespace nubivista::app {

// Writes the GIF; the exit status: 0 written, 1 it could not be. What happened
// goes to out (success) or err (the reason).
int runGifExport(const GifExportRequest& request, const core::AppPaths& paths,
                 const core::Clock& clock, QTextStream& out, QTextStream& err);

} // namespace nubivista::app
