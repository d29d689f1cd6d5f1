#include "acquisition/storm_cells_keeper.h"

#include "acquisition/feed_status.h"
#include "core/atomic_file.h"
#include "sets/companion_files.h"
#include "tracking/storm_cells.h"

#include <QUrlQuery>
#include <variant>

namespace nubivista::acquisition {

StormCellsKeeper::StormCellsKeeper(platform::InternetService& internet, sets::LoopSet& loop,
                                   QObject* parent)
    : QObject(parent), internet_(internet), loop_(loop) {}

QUrl StormCellsKeeper::addressFor(const QString& radarAddress, const QString& site,
                                  const QDateTime& scanUtc) {
    QUrl address = feedPageAddress(radarAddress, QStringLiteral("/storms/%1.json").arg(site));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("scan"), scanUtc.toUTC().toString(Qt::ISODate));
    address.setQuery(query);
    return address;
}

void StormCellsKeeper::imageStored(int slot, const QDateTime& scanUtc) {
    const QString imageFile = loop_.slotFile(slot);
    if (imageFile.isEmpty())
        return;
    sets::removeCompanions(imageFile);
    const QString site = loop_.model().siteCode.trimmed().toLower();
    if (site.isEmpty() || !scanUtc.isValid())
        return;
    const double slotTime = loop_.model().slotTime[slot];
    internet_.fetchFresh(addressFor(loop_.model().paneUrl, site, scanUtc), kAnswerTimeoutMs, this,
                         [this, slot, slotTime, site](std::optional<QByteArray> body) {
                             if (body)
                                 store(slot, slotTime, site, *body);
                         });
}

void StormCellsKeeper::store(int slot, double slotTime, const QString& site,
                             const QByteArray& body) {
    // The slot may have taken another image, or lost its own, meanwhile.
    if (!loop_.filled(slot) || loop_.model().slotTime[slot] != slotTime)
        return;
    const auto cells = tracking::readStormCells(body);
    const auto* scan = std::get_if<tracking::StormScanCells>(&cells);
    if (!scan || scan->site.toLower() != site)
        return;
    // A storms file that cannot be written leaves the image without tracks;
    // the image itself is safe.
    if (core::writeFileAtomically(sets::stormCellsFileOf(loop_.slotFile(slot)), body).ok)
        emit cellsStored(slot);
}

} // namespace nubivista::acquisition
