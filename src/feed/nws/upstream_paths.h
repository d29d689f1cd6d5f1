#pragma once
// The addresses of today's Level III products, relative to the two upstreams'
// bases: the weather service's product tree and the public cloud archive.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace nubivista::feed::nws {

// The product tree's folder of a product directory and site:
// "SL.us008001/DF.of/DC.radar/DS.p94r0/SI.klsx/". Its index lists the files
// sn.0000 to sn.0250 (they wrap); sn.last is the newest.
QString productTreeFolder(const QString& directory, const QString& siteCode);
QString productTreeFile(const QString& directory, const QString& siteCode, const QString& name);

// The archive names a radar by three letters: the site code without its first
// ("klsx" gives "LSX", "pgua" gives "GUA").
QString archiveSiteId(const QString& siteCode);
// The listing of one day's keys of a site and product:
// "?list-type=2&prefix=LSX_N0Q_2026_12_08".
QString archiveListing(const QString& siteCode, const QString& awips, const QDate& day);
// The scan time a key carries: "LSX_N0Q_2026_12_08_05_30_12" gives 05:30:12 UTC.
std::optional<QDateTime> archiveKeyTime(const QString& key);

} // namespace nubivista::feed::nws
