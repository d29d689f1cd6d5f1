// The address grammar runs on every map click, pane load and set reload; these
// figures show it costs nothing next to a page load.
#include "radar/addresses.h"
#include "radar/site_table.h"

#include <benchmark/benchmark.h>

using namespace nubivista;

namespace {

const QString Link = QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.kmkx.shtml");
const QString LoopPage =
    QStringLiteral("http://weather.noaa.gov/radar/loop/DS.p20-r/si.kvwx.shtml");

void BM_MapClickToPaneAndProduct(benchmark::State& state) {
    for (auto _ : state) {
        const auto site = radar::ParseSiteLink(Link);
        const QString page =
            radar::SitePageUrl(site->hostLabel, QStringLiteral("DS.p20-r"), site->siteCode, false);
        const QString pane = radar::PaneUrl(page, false);
        benchmark::DoNotOptimize(radar::RecognizeProduct(pane));
        benchmark::DoNotOptimize(radar::SiteCodeFromPaneUrl(pane));
    }
}
BENCHMARK(BM_MapClickToPaneAndProduct);

void BM_LoopPageAddresses(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(radar::LoopListUrl(LoopPage));
        benchmark::DoNotOptimize(radar::AddressesFromStoredUrl(LoopPage, true));
    }
}
BENCHMARK(BM_LoopPageAddresses);

// The last row is the slowest lookup: the table is searched in order.
void BM_SiteDescriptionLastRow(benchmark::State& state) {
    const QString code = QStringLiteral("KVWX");
    for (auto _ : state)
        benchmark::DoNotOptimize(radar::SiteDescriptionFor(code));
}
BENCHMARK(BM_SiteDescriptionLastRow);

} // namespace

BENCHMARK_MAIN();
