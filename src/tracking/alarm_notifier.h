#pragma once
// Shows a storm alarm as a desktop notification, through the notification
// service of the session bus (org.freedesktop.Notifications). With no such
// service, or no bus, the fallback shows it instead (the program's message
// window, without blocking). Never waits: the loop and the refresh go on.
#include "tracking/storm_alarm.h"

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace nubivista::tracking {

class AlarmNotifier : public QObject {
    Q_OBJECT
public:
    using Fallback = std::function<void(const QString& summary, const QString& body)>;

    AlarmNotifier(QDBusConnection bus, Fallback fallback, QObject* parent = nullptr);

    void show(const StormAlarm& alarm, const QString& body);
    // Any alarm: critical ones ask the desktop to keep them until read.
    void show(const QString& summary, const QString& body, bool critical);

private:
    QDBusConnection bus_;
    Fallback fallback_;
};

} // namespace nubivista::tracking
