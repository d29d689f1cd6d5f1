#pragma once
// The program's command line: which feed the pictures come from.
//   nubivista              its own feed on the weather service's products
//   nubivista --demo       its own feed on simulated storms
//   nubivista --feed URL   a feed already running at URL (none is started)
//   nubivista --export-gif FILE [--set NAME]
//                          the current loop (or a saved set) as an animated
//                          GIF, without a window
#include "acquisition/feed_choice.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace nubivista::app {

struct GifExportRequest {
    QString file;
    QString setName; // empty: the current loop
};

struct CommandLine {
    acquisition::FeedChoice feed;
    bool showHelp = false;
    std::optional<GifExportRequest> exportGif;
};

// arguments as QCoreApplication::arguments() gives them, the program first.
// A text that says what is wrong when they make no sense. Before the
// application object has taken Qt's own options out, ignoreUnknown lets them
// pass, so that the program's own mistakes are told without a display.
std::variant<CommandLine, QString> parseCommandLine(const QStringList& arguments,
                                                    bool ignoreUnknown = false);

QString commandLineHelp();

} // namespace nubivista::app
