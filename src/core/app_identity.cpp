#include "core/app_identity.h"

namespace nubivista::core {

QString versionText() {
    return QStringLiteral("Vs.%1.%2.%3").arg(0).arg(1).arg(0);
}

} // namespace nubivista::core
