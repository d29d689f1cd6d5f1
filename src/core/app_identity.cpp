#include "core/app_identity.h"

namespace nubivista::core {

QString versionText() {
    return QStringLiteral("Vs.%1.%2.%3")
        .arg(NUBIVISTA_VERSION_MAJOR)
        .arg(NUBIVISTA_VERSION_MINOR)
        .arg(NUBIVISTA_VERSION_PATCH);
}

} // namespace nubivista::core
