#include "feed/picture/basemap_cache.h"

namespace nubivista::feed::picture {

const IndexedImage& BasemapCache::layer(const radar::SiteRow& site, bool longRange) {
    const auto key =
        std::make_pair(std::string(site.code.data(), std::size_t(site.code.size())), longRange);
    const std::lock_guard lock(mutex_);
    auto found = layers_.find(key);
    if (found == layers_.end())
        found = layers_.emplace(key, basemapLayer(lines_, site, longRange, towns_)).first;
    return found->second;
}

void BasemapCache::reset(BoundaryLines lines, Towns towns) {
    const std::lock_guard lock(mutex_);
    lines_ = std::move(lines);
    towns_ = std::move(towns);
    layers_.clear();
}

} // namespace nubivista::feed::picture
