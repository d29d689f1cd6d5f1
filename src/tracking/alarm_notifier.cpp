#include "tracking/alarm_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace nubivista::tracking {

namespace {

// The urgency levels of desktop notifications.
constexpr unsigned char kNormal = 1;
constexpr unsigned char kCritical = 2;

} // namespace

AlarmNotifier::AlarmNotifier(QDBusConnection bus, Fallback fallback, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), fallback_(std::move(fallback)) {}

void AlarmNotifier::show(const StormAlarm& alarm, const QString& body) {
    show(alarm.summary(), body, alarm.critical());
}

void AlarmNotifier::show(const QString& summary, const QString& body, bool critical) {
    if (!bus_.isConnected()) {
        fallback_(summary, body);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(critical ? kCritical : kNormal)}};
    call << QStringLiteral("Nubivista") << uint(0) << QStringLiteral("weather-severe-alert")
         << summary << body << QStringList() << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, summary, body](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (QDBusPendingReply<uint>(*done).isError())
                    fallback_(summary, body);
            });
}

} // namespace nubivista::tracking
