#pragma once
// The radar simulator as a child process of a test, on a free loopback port,
// and a direct line to its admin paths (no proxy, never the layer).
#include <QByteArray>
#include <QDateTime>
#include <QNetworkProxy>
#include <QProcess>
#include <QString>
#include <QUrl>
#include <memory>
#include <ostream>

namespace nubivista::platform::testing {

class RadarSimProcess {
public:
    // Starts the simulator; check isRunning().
    RadarSimProcess();
    ~RadarSimProcess();

    bool isRunning() const { return port_ != 0; }
    quint16 port() const { return port_; }
    // The simulator as the layer's upstream HTTP proxy.
    QNetworkProxy asProxy() const;

    // GET of a path straight from the simulator (e.g. "/_sim/advance?frames=1").
    QByteArray get(const QString& pathAndQuery) const;
    bool setFault(const QString& query) const { return get("/_sim/fault?" + query) == "ok"; }
    bool clearFaults() const { return setFault(QStringLiteral("name=none")); }
    // The time of the newest published frame, as the simulator reports it.
    QDateTime newestFrame() const;
    bool advance(int frames = 1) const {
        return get(QStringLiteral("/_sim/advance?frames=%1").arg(frames)) == "ok";
    }

private:
    std::unique_ptr<QProcess> process_;
    quint16 port_ = 0;
};

// The simulator's host names, as the program writes its addresses.
inline constexpr char RadarHost[] = "http://weather.noaa.gov";
inline QUrl radarUrl(const QString& path) {
    return QUrl(QLatin1String(RadarHost) + path);
}

} // namespace nubivista::platform::testing

// Readable times in test failure messages.
inline void PrintTo(const QDateTime& time, std::ostream* out) {
    *out << time.toString(Qt::ISODateWithMs).toStdString();
}
