#pragma once
// What a path of the address grammar names: the national map page or image,
// or a site's latest page, latest image, frame, loop page or loop list.
#include "radar/products.h"
#include "radar/site_table.h"

#include <QString>
#include <optional>

namespace nubivista::feed::server {

struct Route {
    enum Kind {
        NationalPage,
        NationalImage,
        LatestPage,
        LatestImage,
        FrameImage,
        LoopPage,
        LoopList
    };
    Kind kind;
    const radar::SiteRow* site = nullptr;
    const radar::RadarProductCode* product = nullptr;
    qint64 frameSeconds = 0; // a frame's time, for FrameImage
};

// Nothing for a path outside the grammar, or naming an unknown site, product
// or frame.
std::optional<Route> resolveRoute(const QString& path);

} // namespace nubivista::feed::server
