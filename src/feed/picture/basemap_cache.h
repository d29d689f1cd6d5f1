#pragma once
// The basemap layers of the radars a feed draws, made on first use and kept:
// 205 radars at two ranges are at most 410 layers of 330 KB.
#include "feed/picture/basemap.h"

#include <map>
#include <string>
#include <utility>

namespace nubivista::feed::picture {

class BasemapCache {
public:
    BasemapCache() = default;
    explicit BasemapCache(BoundaryLines lines) : lines_(std::move(lines)) {}

    const IndexedImage& layer(const radar::SiteRow& site, bool longRange);
    const BoundaryLines& lines() const { return lines_; }

private:
    BoundaryLines lines_;
    std::map<std::pair<std::string, bool>, IndexedImage> layers_;
};

} // namespace nubivista::feed::picture
