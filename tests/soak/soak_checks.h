#pragma once
// What a soak checks while it runs: the set record on disk against the
// window's ring, each stored image against the frame the simulator served for
// its site and time, the event loop's longest stall, and resident memory.
#include "core/ole_date.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

namespace nubivista::sets {
class LoopSet;
}

namespace nubivista::soak {

// Every change of CurrSetRec.sis must decode and agree with the ring.
class RecordWatch {
public:
    RecordWatch(const sets::LoopSet& loop, std::function<int()> refreshInterval);
    // Reads the record; returns a violation when it changed and disagrees.
    std::optional<QString> check();
    int changesSeen() const { return changes_; }

private:
    const sets::LoopSet& loop_;
    std::function<int()> refreshInterval_;
    QByteArray last_;
    int changes_ = 0;
};

// The true frames, fetched straight from the simulator and kept by time.
class FrameTruth {
public:
    // fetch: GET of a path from the simulator, unfaulted.
    FrameTruth(std::function<QByteArray(const QString&)> fetch, QString product, QString site,
               int frameSeconds);
    // A violation when bytes are not the frame of time, or of time less the
    // stamp adjustment (the newest image is stamped with it, back-dated ones
    // are not).
    std::optional<QString> check(const QByteArray& bytes, const QDateTime& slotTimeUtc,
                                 int stampAdjustMinutes);
    // While a same-size republish is in force the latest image keeps the bytes
    // of the frame that was newest when it began, under newer times; an image
    // stamped in that span may rightly hold them.
    void noteRepublish(const QDateTime& fromUtc, const QDateTime& untilUtc);

private:
    struct Republish {
        QDateTime from;
        QDateTime until;
    };
    const QByteArray& frameAt(const QDateTime& frameTimeUtc);
    bool isRepublishedFrame(const QByteArray& bytes, const QDateTime& frameTimeUtc);

    std::function<QByteArray(const QString&)> fetch_;
    QString product_;
    QString site_;
    int frameSeconds_;
    QMap<qint64, QByteArray> frames_;
    QList<Republish> republished_;
};

// A timer on the event loop whose late ticks are the loop's stalls.
class StallWatch {
public:
    // Called at every tick of an intervalMs timer.
    void tick(int intervalMs);
    qint64 longestMs() const { return longest_; }

private:
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

// Resident memory in kB of this process and every process it started (the
// browser engine's helpers).
qint64 residentKbOfProcessTree();

} // namespace nubivista::soak
