#include "site_list.h"

#include <QFile>
#include <QList>

namespace radarsim {

QString Site::title() const {
    return code.toUpper() + QStringLiteral(" - ") + name + QStringLiteral(", ") + state;
}

std::vector<Site> parseSiteList(const QByteArray& tsv) {
    std::vector<Site> sites;
    const QList<QByteArray> lines = tsv.split('\n');
    for (const QByteArray& rawLine : lines) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#') || line.startsWith("order\t")) {
            continue;
        }
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 7) {
            continue;
        }
        Site site;
        site.code = QString::fromLatin1(fields[1]).toLower();
        site.name = QString::fromLatin1(fields[2]);
        site.state = QString::fromLatin1(fields[3]);
        bool latOk = false;
        bool lonOk = false;
        site.latitude = fields[5].toDouble(&latOk);
        site.longitude = fields[6].toDouble(&lonOk);
        if (!latOk || !lonOk || site.code.size() != 4) {
            continue;
        }
        sites.push_back(site);
    }
    return sites;
}

const std::vector<Site>& allSites() {
    static const std::vector<Site> sites = [] {
        QFile file(QStringLiteral(":/radar-sim/nexrad-sites.tsv"));
        if (!file.open(QIODevice::ReadOnly)) {
            return std::vector<Site>{};
        }
        return parseSiteList(file.readAll());
    }();
    return sites;
}

std::optional<Site> findSite(const QString& code) {
    const QString wanted = code.toLower();
    for (const Site& site : allSites()) {
        if (site.code == wanted) {
            return site;
        }
    }
    return std::nullopt;
}

} // namespace radarsim
