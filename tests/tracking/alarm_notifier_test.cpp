// Storm alarms on a private session bus: a notification service there gets
// the call with its summary, details and urgency; without one, the fallback
// shows the alarm.
#include "tracking/alarm_notifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

using namespace nubivista::tracking;

namespace {

// What a desktop's notification daemon would show.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString summary;
        QString body;
        int urgency = -1;
    };
    std::vector<Shown> shown;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int) {
        shown.push_back({summary, body, hints.value(QStringLiteral("urgency")).toInt()});
        return uint(shown.size());
    }
};

// A session bus of the test's own.
class PrivateBus {
public:
    PrivateBus() {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        if (daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000))
            address = QString::fromLatin1(daemon.readLine().trimmed());
    }
    ~PrivateBus() {
        daemon.kill();
        daemon.waitForFinished(5000);
    }
    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(address, name);
    }
    QProcess daemon;
    QString address;
};

StormAlarm alarm(bool tvs) {
    StormAlarm raised;
    raised.place = QStringLiteral("Home");
    raised.cell.id = QStringLiteral("X0");
    raised.cell.tvs = tvs;
    raised.eta = QDateTime(QDate(2021, 12, 11), QTime(2, 45), Qt::UTC);
    return raised;
}

} // namespace

TEST(AlarmNotifier, TheSessionBusServiceShowsTheAlarmAndWithoutOneTheFallbackDoes) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection service = bus.connect(QStringLiteral("service"));
    NotificationService daemon;
    QDBusConnection program = bus.connect(QStringLiteral("program"));
    std::vector<QString> fellBack;
    AlarmNotifier notifier(program, [&fellBack](const QString& summary, const QString&) {
        fellBack.push_back(summary);
    });

    // Nobody shows notifications yet.
    notifier.show(alarm(false), QStringLiteral("details"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fellBack.empty(); }, 5000));
    EXPECT_EQ(fellBack[0], alarm(false).summary());

    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &daemon,
                                       QDBusConnection::ExportAllSlots));
    notifier.show(alarm(false), QStringLiteral("ETA 02:45"));
    notifier.show(alarm(true), QStringLiteral("a vortex"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.shown.size() == 2; }, 5000));
    EXPECT_EQ(daemon.shown[0].summary, alarm(false).summary());
    EXPECT_EQ(daemon.shown[0].body, QStringLiteral("ETA 02:45"));
    EXPECT_EQ(daemon.shown[0].urgency, 1);
    EXPECT_EQ(daemon.shown[1].urgency, 2) << "a vortex is critical";
    EXPECT_EQ(fellBack.size(), 1u);
    QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
}

#include "alarm_notifier_test.moc"
