// Exporting the loop as an animated GIF: 20 simulated frames of one site, six
// minutes apart, written at zoom 1 and zoom 2, beside ImageMagick's
// "convert -delay 10 -loop 0" on the same frames (-sample 200% for zoom 2).
// The counters give each file's size and the 20 frames' own GIFs together.
//
//   build/release/bench/bench_gif_export
#include "core/clock.h"
#include "core/ole_date.h"
#include "display/loop_gif.h"
#include "feed/sim/frame_renderer.h"
#include "feed/sim/products.h"
#include "feed/sim/site_list.h"
#include "gui_bench_main.h"
#include "sets/loop_set.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

using namespace nubivista;

namespace {

constexpr int kFrames = 20;
constexpr qint64 kNewestSeconds = 1781272800; // 2026-06-12 14:00 UTC

// The frames on disk and the loop they make, written once.
struct Frames {
    QTemporaryDir dir;
    QStringList files;
    qint64 separateBytes = 0;
    sets::SlotModel model;
    std::array<QImage, kFrames + 1> pictures;
};

const Frames& frames() {
    static const std::unique_ptr<Frames> made = [] {
        auto f = std::make_unique<Frames>();
        feed::sim::loadBasemap(QStringLiteral(NUBIVISTA_BOUNDARIES_FILE));
        const auto site = feed::sim::findSite(QStringLiteral("kmkx"));
        const auto product = feed::sim::findProduct(QStringLiteral("DS.p19r0"));
        for (int slot = 1; slot <= kFrames; ++slot) {
            const qint64 seconds = kNewestSeconds - 360 * (kFrames - slot);
            const QByteArray gif = feed::sim::frameGif(*site, *product, seconds, seconds / 360);
            const QString path = f->dir.filePath(QStringLiteral("latest%1.gif").arg(slot));
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(gif);
            file.close();
            f->files << path;
            f->separateBytes += gif.size();
            f->pictures[slot] = sets::readPicture(path);
            f->model.slotFilled[slot] = 1;
            f->model.slotTime[slot] =
                *core::oleFromDateTime(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
        }
        f->model.newestSlot = kFrames;
        return f;
    }();
    return *made;
}

void BM_ExportLoop(benchmark::State& state) {
    const Frames& f = frames();
    display::LoopGifLook look;
    look.delays = {100, 500, 1000};
    look.zoom = static_cast<double>(state.range(0));
    const core::SystemClock clock;
    const display::LoopGifJob job = display::loopGifJob(
        f.model, [&f](int slot) { return f.pictures[slot]; }, {}, look, clock);
    const QString out = f.dir.filePath(QStringLiteral("export.gif"));
    qint64 bytes = 0;
    for (auto _ : state) {
        const display::LoopGifOutcome written = display::writeLoopGif(job, out);
        if (written.status != display::LoopGifOutcome::Status::Written) {
            state.SkipWithError(qPrintable(written.error));
            return;
        }
        bytes = written.bytes;
    }
    state.counters["file_KB"] = double(bytes) / 1024.0;
    state.counters["separate_KB"] = double(f.separateBytes) / 1024.0;
    state.counters["frames"] = double(job.frames.size());
}
BENCHMARK(BM_ExportLoop)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ImageMagickConvert(benchmark::State& state) {
    const Frames& f = frames();
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty()) {
        state.SkipWithError("ImageMagick's convert is not installed");
        return;
    }
    const QString out = f.dir.filePath(QStringLiteral("convert.gif"));
    QStringList arguments{QStringLiteral("-delay"), QStringLiteral("10"), QStringLiteral("-loop"),
                          QStringLiteral("0")};
    if (state.range(0) == 2)
        arguments << QStringLiteral("-sample") << QStringLiteral("200%");
    arguments << f.files << out;
    for (auto _ : state) {
        QProcess process;
        process.start(convert, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            state.SkipWithError("convert failed");
            return;
        }
    }
    state.counters["file_KB"] = double(QFileInfo(out).size()) / 1024.0;
}
BENCHMARK(BM_ImageMagickConvert)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runWindowBenchmarks(argc, argv);
}
