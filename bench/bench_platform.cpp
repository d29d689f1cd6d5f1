// The Internet layer and the browser panes, measured against the radar
// simulator over loopback: cache lookup latency, the proxy front's cost over
// a direct fetch, the first pane's time to its first page, and the memory of
// two loaded panes (this process plus the engine's helper processes).
#include "acquisition/platform/internet_layer.h"
#include "acquisition/platform/pane_profile.h"
#include "acquisition/platform/web_engine_pane.h"
#include "acquisition/platform/web_engine_setup.h"
#include "core/wait_ticks.h"
#include "process_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

using namespace nubivista::platform;

namespace {

const QString ImagePath = QStringLiteral("/radar/images/DS.p19r0/SI.kmkx/latest.gif");
const QString PagePath = QStringLiteral("/radar/latest/DS.p19r0/si.kmkx.shtml");
QUrl radarUrl(const QString& path) {
    return QUrl(QStringLiteral("http://weather.noaa.gov") + path);
}

struct World {
    std::unique_ptr<QProcess> sim = std::make_unique<QProcess>();
    quint16 simPort = 0;
    QTemporaryDir home;
    std::unique_ptr<InternetLayer> layer;
    std::unique_ptr<PaneProfile> profile;
};
World* world = nullptr;

bool startWorld() {
    world = new World;
    world->sim->start(QCoreApplication::applicationDirPath() +
                          QStringLiteral("/../bin/nubivista-feed"),
                      {"--source", "sim", "--admin", "--port", "0", "--frame-interval", "300"});
    const QRegularExpression ready(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray out;
    while (world->sim->waitForReadyRead(10000)) {
        out += world->sim->readAllStandardOutput();
        if (const auto m = ready.match(QString::fromLatin1(out)); m.hasMatch()) {
            world->simPort = m.captured(1).toUShort();
            break;
        }
    }
    if (world->simPort == 0)
        return false;
    InternetLayerOptions options;
    options.cacheFolder = world->home.filePath("cache");
    options.feedProxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), world->simPort);
    world->layer = std::make_unique<InternetLayer>(options);
    return world->layer->isRunning();
}

void stopWorld() {
    world->profile.reset();
    world->layer.reset();
    world->sim->kill();
    world->sim->waitForFinished();
    delete world;
}

// Runs events, sleeping between them, until done() holds or the time is up.
template <typename Done> bool waitFor(Done done, int ms = 30000) {
    return nubivista::core::WaitUntil(done, ms);
}

QByteArray fetch(QNetworkAccessManager& network, QNetworkRequest request) {
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = network.get(request);
    waitFor([reply] { return reply->isFinished(); });
    const QByteArray body = reply->readAll();
    reply->deleteLater();
    return body;
}

// This process and every process below it (the engine's helpers).
qint64 residentKbWithHelpers() {
    const QString self = QString::number(QCoreApplication::applicationPid());
    QHash<QString, QString> parentOf;
    const auto entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        parentOf.insert(pid, QString::fromLatin1(fields.value(1)));
    }
    qint64 total = 0;
    for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
        QString p = it.key();
        for (int depth = 0; depth < 8 && !p.isEmpty() && p != self; ++depth)
            p = parentOf.value(p);
        // The simulator is this process's child too, but not the program's.
        if (p == self && it.key() != QString::number(world->sim->processId()))
            total += nubivista::bench::residentKb(it.key());
    }
    return total;
}

void BM_CacheLookup(benchmark::State& state) {
    const QUrl image = radarUrl(ImagePath);
    if (!world->layer->downloadToFile(image, world->home.filePath("warm.gif")).ok) {
        state.SkipWithError("could not fill the cache");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(world->layer->cacheEntry(image));
}
BENCHMARK(BM_CacheLookup)->Unit(benchmark::kMicrosecond);

void BM_CacheLookupMiss(benchmark::State& state) {
    const QUrl image = radarUrl(QStringLiteral("/radar/images/DS.p19r0/SI.kzzz/latest.gif"));
    for (auto _ : state)
        benchmark::DoNotOptimize(world->layer->cacheEntry(image));
}
BENCHMARK(BM_CacheLookupMiss)->Unit(benchmark::kMicrosecond);

void BM_FetchDirect(benchmark::State& state) {
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    const QNetworkRequest request(
        QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(world->simPort).arg(ImagePath)));
    for (auto _ : state)
        benchmark::DoNotOptimize(fetch(network, request));
}
BENCHMARK(BM_FetchDirect)->Unit(benchmark::kMicrosecond);

// Through the front as a pane's reload: past the layer's cache to the server.
void BM_FetchThroughFront(benchmark::State& state) {
    QNetworkAccessManager network;
    network.setProxy(world->layer->paneProxy());
    QNetworkRequest request(radarUrl(ImagePath));
    request.setRawHeader("Proxy-Authorization", world->layer->credentials().basicAuthorization());
    request.setRawHeader("Cache-Control", "no-cache");
    for (auto _ : state)
        benchmark::DoNotOptimize(fetch(network, request));
}
BENCHMARK(BM_FetchThroughFront)->Unit(benchmark::kMicrosecond);

// Through the front as a pane's plain load of a fresh cached copy.
void BM_FetchThroughFrontCached(benchmark::State& state) {
    QNetworkAccessManager network;
    network.setProxy(world->layer->paneProxy());
    QNetworkRequest request(radarUrl(ImagePath));
    request.setRawHeader("Proxy-Authorization", world->layer->credentials().basicAuthorization());
    for (auto _ : state)
        benchmark::DoNotOptimize(fetch(network, request));
}
BENCHMARK(BM_FetchThroughFrontCached)->Unit(benchmark::kMicrosecond);

void BM_DownloadToFileCached(benchmark::State& state) {
    const QString path = world->home.filePath("latest1.gif");
    for (auto _ : state)
        benchmark::DoNotOptimize(world->layer->downloadToFile(radarUrl(ImagePath), path));
}
BENCHMARK(BM_DownloadToFileCached)->Unit(benchmark::kMicrosecond);

// One cold measurement: the engine starts with the first pane. Also reports
// the memory of two panes with the radar page loaded.
void BM_FirstPaneToFirstPageAndTwoPanesMemory(benchmark::State& state) {
    for (auto _ : state) {
        const qint64 before = residentKbWithHelpers();
        QElapsedTimer clock;
        clock.start();
        world->profile = std::make_unique<PaneProfile>(world->layer->credentials());
        auto first = std::make_unique<WebEnginePane>(*world->profile);
        bool firstDone = false;
        QObject::connect(first.get(), &BrowserPane::documentComplete, [&] { firstDone = true; });
        first->resize(800, 600);
        first->show();
        first->navigate(radarUrl(PagePath));
        if (!waitFor([&] { return firstDone; })) {
            state.SkipWithError("first page did not load");
            return;
        }
        state.counters["first_page_ms"] = static_cast<double>(clock.elapsed());

        auto second = std::make_unique<WebEnginePane>(*world->profile);
        bool secondDone = false;
        QObject::connect(second.get(), &BrowserPane::documentComplete, [&] { secondDone = true; });
        second->resize(800, 600);
        second->show();
        clock.restart();
        second->navigate(radarUrl(QStringLiteral("/radar/national.html")));
        waitFor([&] { return secondDone; });
        state.counters["second_page_ms"] = static_cast<double>(clock.elapsed());
        waitFor([] { return false; }, 1000); // let the helpers settle
        const qint64 after = residentKbWithHelpers();
        state.counters["rss_before_MB"] = static_cast<double>(before) / 1024.0;
        state.counters["rss_two_panes_MB"] = static_cast<double>(after) / 1024.0;
        second.reset();
        first.reset();
    }
}
BENCHMARK(BM_FirstPaneToFirstPageAndTwoPanesMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareWebEngineEnvironment();
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (!startWorld()) {
        qCritical("the feed or the Internet layer did not start");
        return 1;
    }
    ::benchmark::RunSpecifiedBenchmarks();
    stopWorld();
    ::benchmark::Shutdown();
    return 0;
}
