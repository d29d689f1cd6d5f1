#include "feed/sim/products.h"

namespace nubivista::feed::sim {

std::optional<Product> findProduct(const QString& code) {
    if (const Product* product = nubivista::radar::FindProduct(code))
        return *product;
    return std::nullopt;
}

} // namespace nubivista::feed::sim
