#pragma once
// A decoded product as the echo grid of its radar's picture: each map pixel
// takes the value of the radial bin or raster box under its centre. Bins and
// boxes below the threshold or missing leave the pixel empty.
#include "feed/level3/product.h"
#include "feed/picture/echo_grid.h"
#include "feed/picture/frame_composer.h"
#include "radar/site_table.h"

namespace nubivista::feed::nws {

// What a scan with nothing to draw says instead, printed on its picture: the
// radar's own text, or that the scan is empty. Nothing for a scan with data.
std::vector<QString> nullProductNotes(const level3::Product& product);

// The title rows of a scan's picture, under the product's caption; a storm
// total's says since when it counts: "STORM TOTAL SINCE 12/10 15:43 UTC".
picture::FrameTitles scanTitles(const level3::Product& product, const radar::SiteRow& site,
                                const QString& caption, bool longRange);

picture::EchoGrid echoGridFromProduct(const level3::Product& product, picture::EchoKind kind,
                                      bool longRange);

} // namespace nubivista::feed::nws
