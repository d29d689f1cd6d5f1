// The live feed's work per scan: decoding a real product and drawing it as
// the radar's picture (target: under 50 ms for N0Q and the accumulations),
// and the memory of a feed holding 20 radars' six products.
#include "feed/level3/decode.h"
#include "feed/nws/echo_from_product.h"
#include "feed/nws/product_site.h"
#include "feed/picture/basemap.h"
#include "feed/picture/basemap_cache.h"
#include "feed/picture/frame_composer.h"
#include "process_memory.h"
#include "radar/products.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace nubivista;
using namespace nubivista::feed;

namespace {

QByteArray productFile(const char* name) {
    QFile file(QStringLiteral(NUBIVISTA_SOURCE_DIR "/tests/data/level3/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

picture::BoundaryLines& boundaries() {
    static picture::BoundaryLines lines = [] {
        auto loaded =
            picture::loadBoundaries(QStringLiteral(NUBIVISTA_BENCH_APP_DIR "/us-boundaries.bin"));
        return std::holds_alternative<picture::BoundaryLines>(loaded)
                   ? std::get<picture::BoundaryLines>(std::move(loaded))
                   : picture::BoundaryLines{};
    }();
    return lines;
}

const picture::Towns& towns() {
    static const picture::Towns all =
        picture::townsOrNone(QStringLiteral(NUBIVISTA_BENCH_APP_DIR "/towns.bin"));
    return all;
}

struct Case {
    const char* file;
    bool rainfall;
    bool longRange;
};

const Case kCases[] = {
    {"KLSX_SDUS53_N0RLSX_202105041639", false, false},
    {"KLSX_SDUS73_N0ZLSX_202105042031", false, true},
    {"KLSX_SDUS53_NCRLSX_202112110215", false, false},
    {"KLSX_SDUS63_NCZLSX_202112110130", false, true},
    {"KLSX_SDUS33_N1PLSX_202112110103", true, false},
    {"KLSX_SDUS53_NTPLSX_202112110114", true, false},
    {"KLSX_SDUS23_N2QLSX_202112110250", false, false},
    {"KLSX_SDUS83_DAALSX_202112110135", true, false},
    {"KLSX_SDUS83_DTALSX_202112110209", true, false},
    // An airport radar's, in the satellite broadcast's frame (its composite
    // zlib-wrapped), and a dry hour's null product.
    {"Level3_STL_TZ0_20211211_0200.nids", false, false},
    {"Level3_STL_TZL_20211211_0200.nids", false, true},
    {"Level3_STL_NCR_20211211_0200.nids", false, false},
    {"LOT_DAA_2021_05_08_03_40_29", true, false},
};
constexpr int kLastCase = int(std::size(kCases)) - 1;

std::string labelOf(const QByteArray& bytes) {
    const auto decoded = level3::decodeLevel3(bytes);
    const auto* product = std::get_if<level3::Product>(&decoded);
    return product ? product->heading.awipsId.toStdString() : std::string("undecodable");
}

QByteArray drawScan(const QByteArray& bytes, const Case& c, picture::BasemapCache& maps) {
    auto decoded = level3::decodeLevel3(bytes);
    const auto& product = std::get<level3::Product>(decoded);
    const radar::SiteRow& site = *nws::siteOfProduct(product);
    picture::FrameTitles titles;
    titles.site = site.stationTitle();
    titles.scanTime = product.description.volumeScanTime;
    titles.notes = nws::nullProductNotes(product);
    titles.longRange = c.longRange;
    const auto echoes = nws::echoGridFromProduct(
        product, c.rainfall ? picture::EchoKind::Rainfall : picture::EchoKind::Reflectivity,
        c.longRange);
    return picture::frameGif(picture::composeFrame(echoes, maps.layer(site, c.longRange), titles),
                             false);
}

// One scan: decode, echo grid, frame over the (already made) basemap, GIF;
// the second argument 1 names the towns.
void BM_DecodeAndDraw(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const QByteArray bytes = productFile(c.file);
    picture::BasemapCache maps(boundaries(), state.range(1) ? towns() : picture::Towns{});
    drawScan(bytes, c, maps); // the basemap is made once per radar and kept
    for (auto _ : state)
        benchmark::DoNotOptimize(drawScan(bytes, c, maps));
    state.SetLabel(labelOf(bytes) + (state.range(1) ? " with towns" : ""));
}
BENCHMARK(BM_DecodeAndDraw)
    ->ArgsProduct({benchmark::CreateDenseRange(0, kLastCase, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The basemap a radar's pictures share, made once per radar and range:
// KLSX at short and long range, without and with its towns.
void BM_Basemap(benchmark::State& state) {
    const radar::SiteRow& klsx = *radar::FindSite(QStringLiteral("klsx"));
    const picture::Towns none;
    for (auto _ : state)
        benchmark::DoNotOptimize(picture::basemapLayer(boundaries(), klsx, state.range(0) != 0,
                                                       state.range(1) ? towns() : none));
}
BENCHMARK(BM_Basemap)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_DecodeOnly(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const QByteArray bytes = productFile(c.file);
    for (auto _ : state)
        benchmark::DoNotOptimize(level3::decodeLevel3(bytes));
    state.SetLabel(labelOf(bytes));
}
BENCHMARK(BM_DecodeOnly)->DenseRange(0, kLastCase)->Unit(benchmark::kMillisecond);

// The storm products: tracking, hail, mesocyclones, vortices.
void BM_DecodeStorms(benchmark::State& state) {
    const char* files[] = {"KLSX_SDUS33_NSTLSX_202112110215", "KLSX_SDUS63_NHILSX_202112110152",
                           "KLSX_SDUS33_NMDLSX_202112110152", "KLSX_SDUS63_NTVLSX_202112110238"};
    const QByteArray bytes = productFile(files[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(level3::decodeLevel3(bytes));
    state.SetLabel(labelOf(bytes));
}
BENCHMARK(BM_DecodeStorms)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// What a feed holds for 20 radars and six products each: the decoded scans
// (the newest of each), their frames and the radars' basemaps at two ranges.
void BM_MemoryOf20RadarsSixProducts(benchmark::State& state) {
    const Case sixProducts[] = {kCases[6], kCases[6], kCases[2], kCases[3], kCases[7], kCases[8]};
    for (auto _ : state) {
        const long before = nubivista::bench::residentKb();
        picture::BasemapCache maps(boundaries());
        std::vector<std::shared_ptr<level3::Product>> scans;
        std::vector<QByteArray> frames;
        int radars = 0;
        for (const radar::SiteRow& site : radar::SiteTable()) {
            if (site.code[0] != 'k' || radars++ >= 20)
                continue;
            for (const Case& c : sixProducts) {
                auto decoded = level3::decodeLevel3(productFile(c.file));
                scans.push_back(std::make_shared<level3::Product>(
                    std::get<level3::Product>(std::move(decoded))));
                picture::FrameTitles titles;
                titles.site = site.stationTitle();
                const auto echoes = nws::echoGridFromProduct(
                    *scans.back(),
                    c.rainfall ? picture::EchoKind::Rainfall : picture::EchoKind::Reflectivity,
                    c.longRange);
                frames.push_back(picture::frameGif(
                    picture::composeFrame(echoes, maps.layer(site, c.longRange), titles), false));
            }
        }
        state.counters["resident_MiB_added"] =
            double(nubivista::bench::residentKb() - before) / 1024.0;
        state.counters["frames"] = double(frames.size());
    }
}
BENCHMARK(BM_MemoryOf20RadarsSixProducts)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
