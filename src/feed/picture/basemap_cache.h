#pragma once
// The basemap layers of the radars a feed draws, made on first use and kept:
// 205 radars at two ranges are at most 410 layers of 330 KB. Pictures are
// drawn on worker threads, which may ask for layers at the same time.
#include "feed/picture/basemap.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace nubivista::feed::picture {

class BasemapCache {
public:
    BasemapCache() = default;
    explicit BasemapCache(BoundaryLines lines, Towns towns = {})
        : lines_(std::move(lines)), towns_(std::move(towns)) {}

    // The reference stays valid as long as the cache: layers are never dropped.
    const IndexedImage& layer(const radar::SiteRow& site, bool longRange);
    const BoundaryLines& lines() const { return lines_; }
    const Towns& towns() const { return towns_; }
    // New lines and towns, and no layers of the old: before any layer is in use.
    void reset(BoundaryLines lines, Towns towns);

private:
    BoundaryLines lines_;
    Towns towns_;
    std::mutex mutex_;
    std::map<std::pair<std::string, bool>, IndexedImage> layers_;
};

} // namespace nubivista::feed::picture
