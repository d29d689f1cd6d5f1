#pragma once
// The settings that came after the 1000-byte settings record, which never
// changes: one QSettings file in the user folder beside the record
// (Preferences.ini, INI format, UTF-8). Each subsystem names its own keys as
// "Group/Name" constants in its own headers; a missing or unreadable value
// gives the caller's default. Unlike the record, a value is written at once.
#include <QSettings>
#include <QString>
#include <QVariant>

namespace nubivista::core {

class Preferences {
public:
    // path: AppPaths::preferencesPath; the file is made at the first write.
    explicit Preferences(const QString& path);

    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    bool flag(const QString& key, bool fallback) const;
    // Writes the value through to the file; false when the file could not be
    // written (the value still holds for this run).
    bool setFlag(const QString& key, bool value);

    QString path() const { return settings_.fileName(); }

private:
    bool write(const QString& key, const QVariant& value);

    QSettings settings_;
};

} // namespace nubivista::core
