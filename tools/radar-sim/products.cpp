#include "products.h"

namespace radarsim {

std::optional<Product> findProduct(const QString& code) {
    for (const Product& product : kProducts) {
        if (code == QLatin1String(product.code)) {
            return product;
        }
    }
    return std::nullopt;
}

} // namespace radarsim
