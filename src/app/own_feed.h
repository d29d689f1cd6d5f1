#pragma once
// The program's own feed wired to its Internet layer: the radar servers'
// addresses go to the feed once it says where it listens, and cannot be
// reached until then or while it is down. What happens is told on stderr.
#include "acquisition/feed_process.h"
#include "acquisition/platform/internet_layer.h"

#include <memory>

namespace nubivista::app {

// nubivista-feed beside the program.
QString ownFeedProgram();

QNetworkProxy feedProxyAt(const QUrl& address);

// Starts program on the choice's source (live, or sim for the demo);
// extraArguments follow (tests slow the simulator's clock).
std::unique_ptr<acquisition::FeedProcess> startOwnFeed(const acquisition::FeedChoice& choice,
                                                       platform::InternetLayer& internet,
                                                       const QString& program,
                                                       const QStringList& extraArguments = {});

} // namespace nubivista::app
