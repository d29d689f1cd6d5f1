#include "feed/sim/site_list.h"

#include "radar/site_table.h"

namespace nubivista::feed::sim {

namespace {

Site siteOf(const nubivista::radar::SiteRow& row) {
    return {row.code, row.stationName, row.state, row.latitude, row.longitude};
}

} // namespace

QString Site::title() const {
    return code.toUpper() + QStringLiteral(" - ") + name + QStringLiteral(", ") + state;
}

const std::vector<Site>& allSites() {
    static const std::vector<Site> sites = [] {
        std::vector<Site> all;
        for (const nubivista::radar::SiteRow& row : nubivista::radar::SiteTable())
            all.push_back(siteOf(row));
        return all;
    }();
    return sites;
}

std::optional<Site> findSite(const QString& code) {
    if (const nubivista::radar::SiteRow* row = nubivista::radar::FindSite(code))
        return siteOf(*row);
    return std::nullopt;
}

} // namespace nubivista::feed::sim
