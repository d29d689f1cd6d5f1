// Feeds arbitrary bytes, read as Latin-1 and as UTF-8, to every function of the
// radar address grammar and the site lookup, and checks the shapes they promise.
#include "radar/addresses.h"
#include "radar/products.h"
#include "radar/site_table.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace nubivista;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

void exercise(const QString& address) {
    if (const auto site = radar::ParseSiteLink(address)) {
        require(site->hostLabel.size() == 7 && site->siteCode.size() == 4);
        const QString page = radar::SitePageUrl(site->hostLabel, radar::ProductForChoice(0, false),
                                                site->siteCode, false);
        require(radar::ClassifyRadarPage(page) == radar::RadarPageKind::Latest);
        require(radar::RecognizeProduct(radar::PaneUrl(page, false)).has_value());
        require(radar::SiteCodeFromPaneUrl(radar::PaneUrl(page, true)) == site->siteCode);
    }
    (void)radar::ClassifyRadarPage(address);
    (void)radar::HasRadarPath(address);
    (void)radar::SiteImageUrl(address);
    (void)radar::LatestPageUrl(address);
    for (const bool option : {false, true}) {
        (void)radar::PaneUrl(address, option);
        (void)radar::LoopPageUrlFromPaneUrl(address, option);
        (void)radar::AddressesFromStoredUrl(address, option);
    }
    if (const auto list = radar::LoopListUrl(address))
        require(list->endsWith(QLatin1String(".txt")));
    if (const auto product = radar::RecognizeProduct(address))
        require(radar::RangeClassOf(product->productCode).has_value());
    if (const auto code = radar::SiteCodeFromPaneUrl(address))
        require(code->size() == 4);
    (void)radar::NextMapFallbackPage(address);
    (void)radar::NationalMapUrlOrDefault(address);
    (void)radar::SiteDescriptionFor(address);
    (void)radar::RangeClassOf(address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    exercise(QString::fromLatin1(bytes, length));
    exercise(QString::fromUtf8(bytes, length));
    return 0;
}
