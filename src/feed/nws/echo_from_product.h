#pragma once
// A decoded product as the echo grid of its radar's picture: each map pixel
// takes the value of the radial bin or raster box under its centre. Bins and
// boxes below the threshold or missing leave the pixel empty.
#include "feed/level3/product.h"
#include "feed/picture/echo_grid.h"

namespace nubivista::feed::nws {

picture::EchoGrid echoGridFromProduct(const level3::Product& product, picture::EchoKind kind,
                                      bool longRange);

} // namespace nubivista::feed::nws
