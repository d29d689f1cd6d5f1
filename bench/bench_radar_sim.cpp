// What the radar simulator costs: drawing and encoding one frame, answering a
// request from the frame cache, and whole requests over loopback.
#include "feed/picture/gif_writer.h"
#include "feed/sim/frame_renderer.h"
#include "feed/sim/sim_server.h"
#include "feed/sim/site_list.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>
#include <benchmark/benchmark.h>
#include <memory>

using namespace nubivista::feed::sim;

namespace {

const qint64 kFrameSeconds = 1781272500; // 2026-06-12 13:55 UTC

void BM_RenderFrame(benchmark::State& state) {
    const Site site = *findSite(QStringLiteral("kmkx"));
    const Product product = kProducts[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderFrame(site, product, kFrameSeconds));
    }
    state.SetLabel(product.code.data());
}
BENCHMARK(BM_RenderFrame)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_EncodeGif(benchmark::State& state) {
    const IndexedImage image =
        renderFrame(*findSite(QStringLiteral("kmkx")), kProducts[0], kFrameSeconds);
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeGif(image, radarPalette()));
    }
}
BENCHMARK(BM_EncodeGif)->Unit(benchmark::kMillisecond);

void BM_ServeCachedLatest(benchmark::State& state) {
    SimService service(QDateTime::fromSecsSinceEpoch(kFrameSeconds + 60, Qt::UTC), 0.0, 300);
    RequestInfo request;
    request.path = QStringLiteral("/radar/images/DS.p19r0/SI.kmkx/latest.gif");
    for (auto _ : state) {
        benchmark::DoNotOptimize(nubivista::feed::server::wireBytes(service.reply(request)));
    }
}
BENCHMARK(BM_ServeCachedLatest)->Unit(benchmark::kMicrosecond);

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

// Memory of a simulator that has served the ten loop frames of every product for
// `sites` sites: the resident size before and after, and the cached GIF bytes.
void BM_MemoryWithLoopsServed(benchmark::State& state) {
    const int siteCount = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const long before = residentKiB();
        SimService service(QDateTime::fromSecsSinceEpoch(kFrameSeconds + 60, Qt::UTC), 0.0, 300);
        const qint64 newest = service.clock().newestFrameIndex();
        qint64 gifBytes = 0;
        for (int i = 0; i < siteCount; ++i) {
            const Site& site = allSites()[static_cast<std::size_t>(i)];
            for (const Product& product : kProducts) {
                for (qint64 frame = newest - 9; frame <= newest; ++frame) {
                    gifBytes += service.frameBytes(site.code, product.codeString(), frame).size();
                }
            }
        }
        state.counters["rss_before_MiB"] = static_cast<double>(before) / 1024.0;
        state.counters["rss_after_MiB"] = static_cast<double>(residentKiB()) / 1024.0;
        state.counters["gif_MiB"] = static_cast<double>(gifBytes) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_MemoryWithLoopsServed)->Arg(1)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

// Requests on one kept-alive loopback connection to a server on its own thread:
// items per second is requests per second.
void BM_LoopbackRequests(benchmark::State& state, const char* path) {
    // The server is made, used and destroyed on its own thread.
    QThread thread;
    QObject onThread;
    onThread.moveToThread(&thread);
    thread.start();
    std::unique_ptr<SimServer> server;
    quint16 port = 0;
    QMetaObject::invokeMethod(
        &onThread,
        [&] {
            server = std::make_unique<SimServer>(
                QDateTime::fromSecsSinceEpoch(kFrameSeconds + 60, Qt::UTC), 0.0, 300);
            port = server->listenOnLoopback(0);
        },
        Qt::BlockingQueuedConnection);

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        state.SkipWithError("cannot connect");
    }
    const QByteArray request =
        QByteArray("GET ") + path + " HTTP/1.1\r\nHost: weather.noaa.gov\r\n\r\n";
    qint64 bytes = 0;
    for (auto _ : state) {
        socket.write(request);
        QByteArray reply;
        qint64 expected = -1;
        while (expected < 0 || reply.size() < expected) {
            if (!socket.waitForReadyRead(5000)) {
                state.SkipWithError("no reply");
                break;
            }
            reply += socket.readAll();
            const qsizetype headerEnd = reply.indexOf("\r\n\r\n");
            if (expected < 0 && headerEnd >= 0) {
                const qsizetype at = reply.indexOf("Content-Length: ");
                expected = headerEnd + 4 +
                           reply.mid(at + 16, reply.indexOf('\r', at) - at - 16).toLongLong();
            }
        }
        bytes += reply.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(bytes);
    socket.disconnectFromHost();
    QMetaObject::invokeMethod(
        &onThread, [&] { server.reset(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}
BENCHMARK_CAPTURE(BM_LoopbackRequests, latest_gif, "/radar/images/DS.p19r0/SI.kmkx/latest.gif")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoopbackRequests, loop_list, "/radar/loopdata/DS.p19r0/kmkx.txt")
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoopbackRequests, national_page, "/radar/national.html")->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
