#pragma once
// Each feed keeps its own Internet cache, so that an answer cached for one feed
// never answers another on the same addresses: the live feed, the demo and
// every feed given by address each have a folder below one root. The layer is
// told the source the feed's pictures name, and refuses others.
#include "acquisition/feed_choice.h"
#include "acquisition/platform/internet_layer.h"

#include <QString>

namespace nubivista::app {

// ~/.cache/Nubivista/internet: the root of the feeds' caches.
QString internetCacheRoot();

// root/live, root/demo, or root/feed-<10 hex digits of the address's host and
// port> (the part of the address the radar requests go to).
QString internetCacheFolder(const QString& root, const acquisition::FeedChoice& choice);

// "live" or "sim" for the program's own feed; empty for a feed given by
// address, whose source the program does not know: any is taken.
QByteArray pictureSourceOf(const acquisition::FeedChoice& choice);

// The layer's options for the feed: its cache folder below root and its source.
platform::InternetLayerOptions internetOptionsFor(const acquisition::FeedChoice& choice,
                                                  const QString& root);

// Earlier versions kept one cache for every feed directly in root; nothing
// reads it any more, so its files go. The feeds' folders stay.
void removeSharedCache(const QString& root);

} // namespace nubivista::app
