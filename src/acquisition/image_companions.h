#pragma once
// What the program keeps beside each image the loop stores: the radar's storm
// cells of the image's scan and the weather service's warnings in force, both
// asked of the feed once the image is in its slot. The asking never holds up
// the loop or the refresh; an answer that comes back after its image has left
// the slot is dropped, and an image the feed has nothing for keeps nothing.
#include "acquisition/platform/internet_service.h"
#include "sets/loop_set.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>

namespace nubivista::acquisition {

class ImageCompanions : public QObject {
    Q_OBJECT
public:
    ImageCompanions(platform::InternetService& internet, sets::LoopSet& loop,
                    QObject* parent = nullptr);

    // The feed's address of the storm cells of site's scan at scanUtc, on the
    // host of the loop's radar address.
    static QUrl addressFor(const QString& radarAddress, const QString& site,
                           const QDateTime& scanUtc);
    // The feed's address of the warnings in force around site.
    static QUrl warningsAddressFor(const QString& radarAddress, const QString& site);

    // slot has just received an image of scanUtc: what was kept beside the
    // slot's earlier image goes now, and the new image's companions are asked for.
    void imageStored(int slot, const QDateTime& scanUtc);

    // How long an answer may take: the feed waits up to 20 s for a radar it
    // holds nothing of yet.
    static constexpr int kAnswerTimeoutMs = 30000;

signals:
    // The cells of slot's image are now kept beside it.
    void cellsStored(int slot);
    // The warnings of slot's image are now kept beside it.
    void warningsStored(int slot);

private:
    enum class Kind { StormCells, Warnings };
    void ask(Kind kind, int slot, const QUrl& address, const QString& site);
    void store(Kind kind, int slot, double slotTime, const QString& site, const QByteArray& body);

    platform::InternetService& internet_;
    sets::LoopSet& loop_;
};

} // namespace nubivista::acquisition
