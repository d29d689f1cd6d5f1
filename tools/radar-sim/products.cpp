#include "products.h"

namespace radarsim {

std::optional<Product> findProduct(const QString& code) {
    if (const Product* product = nubivista::radar::FindProduct(code))
        return *product;
    return std::nullopt;
}

} // namespace radarsim
