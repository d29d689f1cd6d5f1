#pragma once
// The radar's storm cells of each image the loop stores: asked of the feed for
// the image's own scan once the image is in its slot, and kept beside it. The
// asking never holds up the loop or the refresh; an answer that comes back
// after its image has left the slot is dropped, and an image whose scan has
// no storm cells (an airport radar, a feed that serves none) keeps none.
#include "acquisition/platform/internet_service.h"
#include "sets/loop_set.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>

namespace nubivista::acquisition {

class StormCellsKeeper : public QObject {
    Q_OBJECT
public:
    StormCellsKeeper(platform::InternetService& internet, sets::LoopSet& loop,
                     QObject* parent = nullptr);

    // The feed's address of the storm cells of site's scan at scanUtc, on the
    // host of the loop's radar address.
    static QUrl addressFor(const QString& radarAddress, const QString& site,
                           const QDateTime& scanUtc);

    // slot has just received an image of scanUtc: what was kept beside the
    // slot's earlier image goes now, and the new image's cells are asked for.
    void imageStored(int slot, const QDateTime& scanUtc);

    // How long an answer may take: the feed waits up to 20 s for a radar it
    // holds nothing of yet.
    static constexpr int kAnswerTimeoutMs = 30000;

signals:
    // The cells of slot's image are now kept beside it.
    void cellsStored(int slot);

private:
    void store(int slot, double slotTime, const QString& site, const QByteArray& body);

    platform::InternetService& internet_;
    sets::LoopSet& loop_;
};

} // namespace nubivista::acquisition
