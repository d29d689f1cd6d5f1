#include "acquisition/image_companions.h"

#include "acquisition/feed_status.h"
#include "core/atomic_file.h"
#include "sets/companion_files.h"
#include "tracking/storm_cells.h"
#include "tracking/warnings.h"

#include <QUrlQuery>
#include <variant>

namespace nubivista::acquisition {

ImageCompanions::ImageCompanions(platform::InternetService& internet, sets::LoopSet& loop,
                                 QObject* parent)
    : QObject(parent), internet_(internet), loop_(loop) {}

QUrl ImageCompanions::addressFor(const QString& radarAddress, const QString& site,
                                 const QDateTime& scanUtc) {
    QUrl address = feedPageAddress(radarAddress, QStringLiteral("/storms/%1.json").arg(site));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("scan"), scanUtc.toUTC().toString(Qt::ISODate));
    address.setQuery(query);
    return address;
}

QUrl ImageCompanions::warningsAddressFor(const QString& radarAddress, const QString& site) {
    return feedPageAddress(radarAddress, QStringLiteral("/warnings/%1.json").arg(site));
}

void ImageCompanions::imageStored(int slot, const QDateTime& scanUtc) {
    const QString imageFile = loop_.slotFile(slot);
    if (imageFile.isEmpty())
        return;
    sets::removeCompanions(imageFile);
    const QString site = loop_.model().siteCode.trimmed().toLower();
    if (site.isEmpty())
        return;
    const QString radarAddress = loop_.model().paneUrl;
    if (scanUtc.isValid())
        ask(Kind::StormCells, slot, addressFor(radarAddress, site, scanUtc), site);
    ask(Kind::Warnings, slot, warningsAddressFor(radarAddress, site), site);
}

void ImageCompanions::ask(Kind kind, int slot, const QUrl& address, const QString& site) {
    const double slotTime = loop_.model().slotTime[slot];
    internet_.fetchFresh(address, kAnswerTimeoutMs, this,
                         [this, kind, slot, slotTime, site](std::optional<QByteArray> body) {
                             if (body)
                                 store(kind, slot, slotTime, site, *body);
                         });
}

void ImageCompanions::store(Kind kind, int slot, double slotTime, const QString& site,
                            const QByteArray& body) {
    // The slot may have taken another image, or lost its own, meanwhile.
    if (!loop_.filled(slot) || loop_.model().slotTime[slot] != slotTime)
        return;
    const QString imageFile = loop_.slotFile(slot);
    QString answeredSite;
    if (kind == Kind::StormCells) {
        const auto cells = tracking::readStormCells(body);
        if (const auto* scan = std::get_if<tracking::StormScanCells>(&cells))
            answeredSite = scan->site;
    } else {
        const auto warnings = tracking::readWarnings(body);
        if (const auto* snapshot = std::get_if<tracking::WarningsSnapshot>(&warnings))
            answeredSite = snapshot->site;
    }
    if (answeredSite.toLower() != site)
        return;
    // A file that cannot be written leaves the image without it; the image
    // itself is safe.
    const QString file = kind == Kind::StormCells ? sets::stormCellsFileOf(imageFile)
                                                  : sets::warningsFileOf(imageFile);
    if (!core::writeFileAtomically(file, body).ok)
        return;
    if (kind == Kind::StormCells)
        emit cellsStored(slot);
    else
        emit warningsStored(slot);
}

} // namespace nubivista::acquisition
