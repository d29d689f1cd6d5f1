#pragma once
// What the end-to-end tests share: the radar simulator as a child process on a
// free loopback port with a direct line to its admin paths, an Internet layer
// that fetches through it, and small file helpers.
#include "acquisition/platform/internet_layer.h"
#include "support/files.h"

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace nubivista::platform::testing {

class RadarSimProcess {
public:
    // Starts the simulator; check isRunning(). Extra arguments come after the
    // defaults (a frame every 300 s), so a repeated option replaces its default.
    explicit RadarSimProcess(const QStringList& extraArguments = {});
    ~RadarSimProcess();
    // A simulator started by someone else (the program's own feed): only its
    // admin requests go through this.
    static std::unique_ptr<RadarSimProcess> attachedTo(quint16 port);

    bool isRunning() const { return port_ != 0; }
    quint16 port() const { return port_; }

    // GET of a path straight from the simulator (no proxy, never the layer).
    QByteArray get(const QString& pathAndQuery) const;
    bool setFault(const QString& query) const { return get("/_sim/fault?" + query) == "ok"; }
    bool clearFaults() const { return setFault(QStringLiteral("name=none")); }
    bool advance() const { return get(QStringLiteral("/_sim/advance?frames=1")) == "ok"; }
    // The Last-Modified time (UTC) the simulator serves for a path; invalid
    // when the answer has none.
    QDateTime lastModified(const QString& pathAndQuery) const;
    // The time of the newest published frame, as the simulator reports it.
    QDateTime newestFrame() const;

private:
    explicit RadarSimProcess(quint16 attachedPort) : port_(attachedPort) {}

    std::unique_ptr<QProcess> process_;
    quint16 port_ = 0;
};

// A layer caching under home/cache that reaches the radar servers through
// feedPort (none when 0: the program's own feed sets it) and nothing else.
// options: the program's own for a feed (its cache folder and source), if any.
std::unique_ptr<InternetLayer> layerInHome(const QTemporaryDir& home, quint16 feedPort,
                                           bool installApplicationProxy,
                                           int paneFetchTimeoutMs = 30000,
                                           InternetLayerOptions options = {});
std::unique_ptr<InternetLayer>
layerThroughSim(const QTemporaryDir& home, const RadarSimProcess& sim, bool installApplicationProxy,
                int paneFetchTimeoutMs = 30000, const InternetLayerOptions& options = {});

// The simulator's host name, as the program writes its addresses.
inline QUrl radarUrl(const QString& path) {
    return QUrl(QStringLiteral("http://weather.noaa.gov") + path);
}
inline const QString KmkxImagePath = QStringLiteral("/radar/images/DS.p19r0/SI.kmkx/latest.gif");

using nubivista::testing::readBytes;
using nubivista::testing::writeBytes;

// A simulator, a temporary home and a layer that fetches through the simulator.
class SimLayerTest : public ::testing::Test {
protected:
    explicit SimLayerTest(bool installApplicationProxy) : appProxy_(installApplicationProxy) {}
    void SetUp() override {
        ASSERT_TRUE(sim.isRunning()) << "the feed did not start";
        layer = layerThroughSim(home, sim, appProxy_);
        ASSERT_TRUE(layer->isRunning());
    }
    void TearDown() override { sim.clearFaults(); }

    RadarSimProcess sim;
    QTemporaryDir home;
    std::unique_ptr<InternetLayer> layer;

private:
    bool appProxy_;
};

} // namespace nubivista::platform::testing

// Readable times in test failure messages.
inline void PrintTo(const QDateTime& time, std::ostream* out) {
    *out << time.toString(Qt::ISODateWithMs).toStdString();
}
