#include "feed/picture/basemap_cache.h"

namespace nubivista::feed::picture {

const IndexedImage& BasemapCache::layer(const radar::SiteRow& site, bool longRange) {
    const auto key =
        std::make_pair(std::string(site.code.data(), std::size_t(site.code.size())), longRange);
    auto found = layers_.find(key);
    if (found == layers_.end())
        found = layers_.emplace(key, basemapLayer(lines_, site, longRange)).first;
    return found->second;
}

} // namespace nubivista::feed::picture
