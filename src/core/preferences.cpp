#include "core/preferences.h"

namespace nubivista::core {

Preferences::Preferences(const QString& path) : settings_(path, QSettings::IniFormat) {}

bool Preferences::flag(const QString& key, bool fallback) const {
    const QVariant value = settings_.value(key);
    // Only what this program writes counts; anything else is the default.
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

bool Preferences::setFlag(const QString& key, bool value) {
    return write(key, value);
}

bool Preferences::write(const QString& key, const QVariant& value) {
    settings_.setValue(key, value);
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

} // namespace nubivista::core
