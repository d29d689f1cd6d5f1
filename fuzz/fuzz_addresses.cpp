// Feeds arbitrary bytes, read as Latin-1 and as UTF-8, to every function of the
// radar address grammar and the site lookup, and checks the shapes they promise.
#include "acquisition/radar_addresses.h"
#include "acquisition/radar_products.h"
#include "acquisition/site_table.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace nubivista::acquisition;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

void exercise(const QString& address) {
    if (const auto site = ParseSiteLink(address)) {
        require(site->hostLabel.size() == 7 && site->siteCode.size() == 4);
        const QString page =
            SitePageUrl(site->hostLabel, ProductForChoice(0, false), site->siteCode, false);
        require(ClassifyRadarPage(page) == RadarPageKind::Latest);
        require(RecognizeProduct(PaneUrl(page, false)).has_value());
        require(SiteCodeFromPaneUrl(PaneUrl(page, true)) == site->siteCode);
    }
    (void)ClassifyRadarPage(address);
    (void)HasRadarPath(address);
    (void)SiteImageUrl(address);
    (void)LatestPageUrl(address);
    for (const bool option : {false, true}) {
        (void)PaneUrl(address, option);
        (void)LoopPageUrlFromPaneUrl(address, option);
        (void)AddressesFromStoredUrl(address, option);
    }
    if (const auto list = LoopListUrl(address))
        require(list->endsWith(QLatin1String(".txt")));
    if (const auto product = RecognizeProduct(address))
        require(RangeClassOf(product->productCode).has_value());
    if (const auto code = SiteCodeFromPaneUrl(address))
        require(code->size() == 4);
    (void)NextMapFallbackPage(address);
    (void)NationalMapUrlOrDefault(address);
    (void)SiteDescriptionFor(address);
    (void)RangeClassOf(address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    exercise(QString::fromLatin1(bytes, length));
    exercise(QString::fromUtf8(bytes, length));
    return 0;
}
