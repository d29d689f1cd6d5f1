// The auto-refresh process against the radar simulator over loopback, in the
// main window on real browser panes:
//   - the time from a frame published (and the pane refreshed) to the image
//     stored in its slot, and the longest stall of the event loop meanwhile;
//   - resident memory after 20 images and after many more through the ring;
//   - CPU while the process runs on its own with the interval of one minute,
//     as a share of one core, for this process and for the engine's helpers.
//
//   bench_refresh [--span-seconds S] [--minute-ms M] [--images N]
//   bench_refresh --live N
//
// Defaults: a 600 s span of 60 000 ms minutes and 200 images. A quick run:
// --span-seconds 30 --minute-ms 5000. With --live the feed runs its live source
// on stand-ins of the weather service serving a real KLSX product, and N new
// scans are timed from the program's refresh to the image stored (the feed asks
// upstream at most once a minute, so each takes a minute).
#include "acquisition/form5.h"
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "acquisition/platform/web_engine_setup.h"
#include "app/main_window.h"
#include "core/message_service.h"
#include "core/wait_ticks.h"
#include "feed/nws/stand_in.h"
#include "process_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace nubivista;

namespace {

struct Options {
    int spanSeconds = 600;
    int minuteMs = 60000;
    int images = 200;
    int liveScans = 0; // with the live source: this many new scans timed
};

Options parseOptions(const QStringList& arguments) {
    Options options;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const int value = arguments[i + 1].toInt();
        if (name == QLatin1String("--span-seconds"))
            options.spanSeconds = std::max(1, value);
        else if (name == QLatin1String("--minute-ms"))
            options.minuteMs = std::clamp(value, 1000, 60000);
        else if (name == QLatin1String("--images"))
            options.images = std::max(21, value);
        else if (name == QLatin1String("--live"))
            options.liveScans = std::max(1, value);
    }
    return options;
}

// Runs events, sleeping between them, until done() holds or the time is up.
template <typename Done> bool waitFor(Done done, int ms) {
    return nubivista::core::WaitUntil(done, ms);
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// CPU seconds of every process below this one except the simulator: the
// browser engine's helpers.
double helperCpuSeconds(qint64 simPid) {
    struct Stat {
        QString parent;
        double seconds = 0;
    };
    QHash<QString, Stat> stats;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        // After the command's closing parenthesis: state, ppid, ..., utime (12), stime (13).
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            continue;
        stats.insert(pid, {QString::fromLatin1(fields[1]),
                           (fields[11].toDouble() + fields[12].toDouble()) / tick});
    }
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QString sim = QString::number(simPid);
    double total = 0;
    for (auto it = stats.cbegin(); it != stats.cend(); ++it) {
        if (it.key() == sim)
            continue;
        QString p = it->parent;
        for (int depth = 0; depth < 8 && !p.isEmpty() && p != self; ++depth)
            p = stats.value(p).parent;
        if (p == self)
            total += it->seconds;
    }
    return total;
}

// The longest gap between two turns of a 1 ms timer: how long the event loop
// was kept from running.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longestMs_ = std::max(longestMs_, since_.nsecsElapsed() / 1e6);
            since_.restart();
        });
    }
    void start() {
        longestMs_ = 0;
        since_.start();
        timer_.start();
    }
    double stop() {
        timer_.stop();
        return std::max(longestMs_, since_.nsecsElapsed() / 1e6);
    }

private:
    QTimer timer_;
    QElapsedTimer since_;
    double longestMs_ = 0;
};

class Simulator {
public:
    // The simulated source unless other source arguments are given.
    bool start(const QStringList& source = {"--source", "sim", "--admin", "--frame-interval", "300",
                                            "--speed", "0"}) {
        process_.start(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../bin/nubivista-feed"),
                       QStringList{"--port", "0"} + source);
        const QRegularExpression ready(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/"));
        QByteArray out;
        while (port_ == 0 && process_.waitForReadyRead(30000)) {
            out += process_.readAllStandardOutput();
            if (const auto m = ready.match(QString::fromLatin1(out)); m.hasMatch())
                port_ = m.captured(1).toUShort();
        }
        return port_ != 0;
    }
    ~Simulator() {
        process_.kill();
        process_.waitForFinished();
    }
    quint16 port() const { return port_; }
    qint64 pid() const { return process_.processId(); }
    // Publishes the next frame of every site.
    bool advance() {
        QNetworkRequest request(
            QUrl(QStringLiteral("http://127.0.0.1:%1/_sim/advance?frames=1").arg(port_)));
        std::unique_ptr<QNetworkReply> reply(network_.get(request));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        return reply->readAll() == "ok";
    }

private:
    QProcess process_;
    QNetworkAccessManager network_;
    quint16 port_ = 0;
};

// The program as main() assembles it, in a temporary home.
struct World {
    Simulator sim;
    QTemporaryDir home;
    core::AppPaths paths;
    core::Settings settings;
    core::MessageService messages{settings.MsgOffMap};
    core::SystemClock clock;
    std::unique_ptr<platform::InternetLayer> layer;
    std::unique_ptr<platform::PaneProfile> profile;
    std::unique_ptr<acquisition::Form5> form5;
    std::unique_ptr<app::MainWindow> window;
    int stored = 0;
    int mapLoads = 0;

    bool start(int minuteMs, const QStringList& source = {}) {
        if (!(source.isEmpty() ? sim.start() : sim.start(source)) || !home.isValid())
            return false;
        paths = core::derivePaths(QStringLiteral(NUBIVISTA_BENCH_APP_DIR), home.path());
        QDir().mkpath(paths.loopImagesDir);
        QDir().mkpath(paths.savedSetsDir);
        // Every question is answered Yes, every notice Okay.
        messages.setAnswerer([](int kind, const QString&, int) {
            return kind == 1 ? int(core::MsgOkay) : int(core::MsgYes);
        });
        platform::InternetLayerOptions options;
        options.cacheFolder = home.filePath(QStringLiteral("cache"));
        options.feedProxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), sim.port());
        layer = std::make_unique<platform::InternetLayer>(options);
        if (!layer->isRunning())
            return false;
        profile = std::make_unique<platform::PaneProfile>(layer->credentials());
        acquisition::RelayLaunchers launchers;
        launchers.startProgram = [](const QString&, const QStringList&) { return true; };
        launchers.openInDefaultBrowser = [](const QUrl&, const std::function<void()>&) {};
        form5 = std::make_unique<acquisition::Form5>(paths, new platform::WebEnginePane(*profile),
                                                     launchers);
        form5->Form_Load();
        form5->hide();

        app::MainWindowServices services;
        services.settings = &settings;
        services.paths = paths;
        services.messages = &messages;
        services.clock = &clock;
        services.makePane = [this] { return new platform::WebEnginePane(*profile); };
        services.openInNewWindow = [this](const QString& a) { form5->OpenInNewWindow(a); };
        services.internet = layer.get();
        services.takeMapPopup = [this] {
            form5->setPopupRequested(true);
            return form5->WebBrowser1;
        };
        window = std::make_unique<app::MainWindow>(services);
        QObject::connect(&window->loop(), &sets::LoopSet::imageStored, [this] { ++stored; });
        QObject::connect(window->panes().WebBrowser2, &platform::BrowserPane::documentComplete,
                         [this](const QUrl& address) {
                             if (address == QUrl(settings.NationalMapUrl.trimmed()))
                                 ++mapLoads;
                         });
        window->refresh().Timer1()->setInterval(minuteMs);
        // No refresh of its own until the CPU span.
        settings.RefreshIntervalMinutes = 180;
        core::Form1& form = window->form1();
        form.Form_Load();
        form.resize(1100, 900);
        form.show();
        form.Form_Activate();
        return waitFor([this] { return mapLoads > 0; }, 60000);
    }

    bool clickSite(const QString& site) {
        auto* map = qobject_cast<platform::WebEnginePane*>(window->panes().WebBrowser2);
        map->page()->runJavaScript(
            QStringLiteral("document.querySelector('area[href$=\"/si.%1.shtml\"]').click()")
                .arg(site));
        return waitFor([this] { return stored > 0; }, 60000);
    }
};

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The live source: a new scan of KLSX on the stand-in, a minute after the
// feed last asked, then the program's refresh; timed to the image stored.
int runLive(const Options& options) {
    using feed::nws::testing::StandIn;
    const QByteArray product = feed::nws::testing::productFile("KLSX_SDUS23_N2QLSX_202112110250");
    StandIn upstream;
    upstream.publish("DS.p94r0", product, QDateTime::currentDateTimeUtc().addSecs(-120));
    World world;
    const QString base = upstream.base().toString();
    if (product.isEmpty() ||
        !world.start(60000, {"--source", "live", "--nws-base", base, "--archive-base", base})) {
        std::fprintf(stderr, "bench_refresh: the live feed, the layer or the map did not start\n");
        return 1;
    }
    if (!world.clickSite(QStringLiteral("klsx"))) {
        std::fprintf(stderr, "bench_refresh: no first image from the live feed\n");
        return 1;
    }
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    std::vector<double> latencies;
    for (int scan = 0; scan < options.liveScans; ++scan) {
        waitFor([&] { return sinceAsked.elapsed() > 61000; }, 70000);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        upstream.publish("DS.p94r0", product, now.addSecs(-5));
        const int before = world.stored;
        QElapsedTimer shown;
        shown.start();
        sinceAsked.restart();
        world.window->refresh().mnuRefresh_Click();
        if (!waitFor([&] { return world.stored > before; }, 60000)) {
            std::fprintf(stderr, "bench_refresh: scan %d never came\n", scan + 1);
            return 1;
        }
        latencies.push_back(shown.nsecsElapsed() / 1e6);
    }
    std::printf("bench_refresh --live: %d new scans on the stand-in\n", options.liveScans);
    std::printf("  refresh to stored (feed fetch, decode, draw; program poll and download): "
                "median %.0f ms, max %.0f ms\n",
                median(latencies), *std::max_element(latencies.begin(), latencies.end()));
    return 0;
}

int run(const Options& options) {
    if (options.liveScans > 0)
        return runLive(options);
    World world;
    if (!world.start(options.minuteMs)) {
        std::fprintf(stderr, "bench_refresh: the simulator, the layer or the map did not start\n");
        return 1;
    }
    if (!world.clickSite(QStringLiteral("kmkx"))) {
        std::fprintf(stderr, "bench_refresh: no first image\n");
        return 1;
    }

    // Frames published one after another, each refreshed at once.
    std::vector<double> latencies;
    std::vector<double> stalls;
    StallMeter stall;
    qint64 rssAt20 = 0;
    for (int image = 2; image <= options.images; ++image) {
        if (!world.sim.advance())
            return 1;
        const int before = world.stored;
        QElapsedTimer shown;
        shown.start();
        stall.start();
        world.window->refresh().mnuRefresh_Click();
        if (!waitFor([&] { return world.stored > before; }, 60000)) {
            std::fprintf(stderr, "bench_refresh: image %d never came\n", image);
            return 1;
        }
        latencies.push_back(shown.nsecsElapsed() / 1e6);
        stalls.push_back(stall.stop());
        if (image == 20)
            rssAt20 = nubivista::bench::residentKb();
    }
    const qint64 rssAtEnd = nubivista::bench::residentKb();

    // The process on its own: a frame each minute, a refresh each minute.
    QTimer publisher;
    publisher.setInterval(options.minuteMs);
    QObject::connect(&publisher, &QTimer::timeout, [&world] { world.sim.advance(); });
    world.settings.RefreshIntervalMinutes = 1;
    const int storedBefore = world.stored;
    const double cpuBefore = processCpuSeconds();
    const double helpersBefore = helperCpuSeconds(world.sim.pid());
    QElapsedTimer span;
    span.start();
    publisher.start();
    QEventLoop spanLoop;
    QTimer::singleShot(options.spanSeconds * 1000, &spanLoop, &QEventLoop::quit);
    spanLoop.exec();
    publisher.stop();
    const double wall = span.nsecsElapsed() / 1e9;
    const double cpu = processCpuSeconds() - cpuBefore;
    const double helpers = helperCpuSeconds(world.sim.pid()) - helpersBefore;

    std::printf("bench_refresh: %d images through the ring, then a %d s span of %d ms minutes\n",
                options.images, options.spanSeconds, options.minuteMs);
    std::printf("  publish to stored (incl. the 500 ms first poll): median %.0f ms, max %.0f ms\n",
                median(latencies), *std::max_element(latencies.begin(), latencies.end()));
    std::printf("  longest event-loop stall while an image loads: median %.1f ms, max %.1f ms\n",
                median(stalls), *std::max_element(stalls.begin(), stalls.end()));
    std::printf("  resident memory: %lld kB after 20 images, %lld kB after %d (%+lld kB)\n",
                static_cast<long long>(rssAt20), static_cast<long long>(rssAtEnd), options.images,
                static_cast<long long>(rssAtEnd - rssAt20));
    std::printf("  CPU over the span (%d images): this process %.2f %% of one core, "
                "engine helpers %.2f %%\n",
                world.stored - storedBefore, 100 * cpu / wall, 100 * helpers / wall);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::prepareWebEngineEnvironment();
    QApplication application(argc, argv);
    return run(parseOptions(QCoreApplication::arguments()));
}
