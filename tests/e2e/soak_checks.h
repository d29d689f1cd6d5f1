#pragma once
// What a soak checks while it runs and what it drives: the set record on disk
// against the window's ring, each stored image against the frame the
// simulator served for its site and time, the event loop's longest stall,
// resident memory, the seeded faults and the fast clock.
#include "core/clock.h"
#include "sets/loop_set.h"
#include "sets/set_record.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <array>
#include <functional>
#include <optional>
#include <unistd.h>

namespace nubivista::e2e::soak {

// Every change of CurrSetRec.sis must decode and agree with the ring.
class RecordWatch {
public:
    RecordWatch(const sets::LoopSet& loop, std::function<int()> refreshInterval)
        : loop_(loop), refreshInterval_(std::move(refreshInterval)) {}

    // Reads the record; a violation when it changed and disagrees.
    std::optional<QString> check() {
        QFile file(loop_.setRecPath());
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt; // not written yet
        const QByteArray bytes = file.readAll();
        if (bytes == last_)
            return std::nullopt;
        last_ = bytes;
        ++changes_;
        const sets::SetRecordRead read = sets::decodeSetRecord(bytes);
        if (!read.record)
            return QStringLiteral("CurrSetRec.sis does not decode: ") + read.error;
        // The ring as the record would hold it, through the same codec.
        const sets::SetRecordRead ring = sets::decodeSetRecord(
            sets::encodeSetRecord(sets::setRecordFromModel(loop_.model(), refreshInterval_())));
        if (ring.record && *ring.record == *read.record)
            return std::nullopt;
        return QStringLiteral("CurrSetRec.sis disagrees with the ring (newest slot %1 on disk, "
                              "%2 in the window)")
            .arg(read.record->newestSlot)
            .arg(loop_.model().newestSlot);
    }
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
    FrameTruth(std::function<QByteArray(const QString&)> fetch, QString site, int frameSeconds)
        : fetch_(std::move(fetch)), site_(std::move(site)), frameSeconds_(frameSeconds) {}

    // A violation when bytes are not the frame of the slot's time, or of that
    // time less the stamp adjustment (the newest image is stamped with it,
    // back-dated ones are not).
    std::optional<QString> check(const QByteArray& bytes, const QDateTime& slotTimeUtc,
                                 int stampAdjustMinutes) {
        // Slot times are whole seconds of a frame time.
        const QDateTime stamped =
            QDateTime::fromSecsSinceEpoch((slotTimeUtc.toMSecsSinceEpoch() + 500) / 1000, Qt::UTC);
        for (const QDateTime& frameTime : {stamped, stamped.addSecs(-stampAdjustMinutes * 60)})
            if (frameAt(frameTime) == bytes || isRepublishedFrame(bytes, frameTime))
                return std::nullopt;
        return QStringLiteral("the image stamped %1 UTC (%2 bytes) is no frame the simulator "
                              "served for that time")
            .arg(stamped.toString(Qt::ISODate))
            .arg(bytes.size());
    }

    // While a same-size republish is in force the latest image keeps the
    // bytes of the frame that was newest when it began, under newer times.
    void noteRepublish(const QDateTime& fromUtc, const QDateTime& untilUtc) {
        republished_.append({fromUtc, untilUtc});
    }

private:
    const QByteArray& frameAt(const QDateTime& frameTimeUtc) {
        const qint64 key = frameTimeUtc.toSecsSinceEpoch();
        auto found = frames_.find(key);
        if (found == frames_.end())
            found = frames_.insert(
                key, fetch_(QStringLiteral("/radar/images/DS.p19r0/SI.%1/sn_%2_at_%3.gif")
                                .arg(site_, frameTimeUtc.toString(QStringLiteral("yyyyMMdd")),
                                     frameTimeUtc.toString(QStringLiteral("HHmmss")))));
        return *found;
    }
    bool isRepublishedFrame(const QByteArray& bytes, const QDateTime& frameTimeUtc) {
        for (const auto& [from, until] : std::as_const(republished_)) {
            // The simulator's clock and ours agree to within a frame: the
            // frozen frame is the one newest at the start, or the one before.
            const qint64 start = from.toSecsSinceEpoch();
            const qint64 newestAtStart = start - start % frameSeconds_;
            if (frameTimeUtc.toSecsSinceEpoch() <= newestAtStart - frameSeconds_ ||
                frameTimeUtc > until.addSecs(frameSeconds_))
                continue;
            for (const qint64 frozen : {newestAtStart, newestAtStart - frameSeconds_})
                if (frameAt(QDateTime::fromSecsSinceEpoch(frozen, Qt::UTC)) == bytes)
                    return true;
        }
        return false;
    }

    std::function<QByteArray(const QString&)> fetch_;
    QString site_;
    int frameSeconds_;
    QMap<qint64, QByteArray> frames_;
    QList<std::pair<QDateTime, QDateTime>> republished_;
};

// Resident memory in kB of this process and every process it started (the
// browser engine's helpers), the simulator left out.
inline qint64 residentKbOfProcessTree() {
    const auto read = [](qint64 pid, const char* file) {
        QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QMap<qint64, qint64> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = read(entry.toLongLong(), "stat");
        // The name in parentheses may hold blanks; the fields after it do not.
        const qsizetype close = stat.lastIndexOf(')');
        if (close > 0)
            parents.insert(entry.toLongLong(),
                           stat.mid(close + 2).split(' ').value(1).toLongLong());
    }
    QList<qint64> tree{static_cast<qint64>(::getpid())};
    for (qsizetype i = 0; i < tree.size(); ++i)
        for (auto it = parents.cbegin(); it != parents.cend(); ++it)
            if (it.value() == tree[i] && read(it.key(), "comm").trimmed() != "nubivista-feed")
                tree.append(it.key());
    qint64 total = 0;
    for (const qint64 pid : tree)
        for (const QByteArray& line : read(pid, "status").split('\n'))
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return total;
}

// A fault the soak injects into the simulator, by the simulator's name.
struct Fault {
    const char* name;
    bool onMapHost = false; // the national map's own host, not the site's addresses
    QString label() const {
        return QLatin1String(name) + (onMapHost ? QStringLiteral(" (map host)") : QString());
    }
};

inline constexpr std::array<Fault, 9> kAllFaults{{{"404"},
                                                  {"500"},
                                                  {"hang"},
                                                  {"truncate"},
                                                  {"corrupt"},
                                                  {"republish"},
                                                  {"crlf"},
                                                  {"close"},
                                                  {"close", true}}};

// A clock whose date and time run `factor` times faster than real time, in
// step with the simulator's own fast clock. The tick count stays real: the
// process's timers are scaled instead.
class ScaledClock final : public core::Clock {
public:
    ScaledClock(const QDateTime& startUtc, double factor) : startUtc_(startUtc), factor_(factor) {
        since_.start();
    }
    std::int32_t tickCount() const override { return real_.tickCount(); }
    QDateTime now() const override { return nowUtc().toLocalTime(); }
    QDateTime nowUtc() const {
        return startUtc_.addMSecs(static_cast<qint64>(since_.elapsed() * factor_));
    }

private:
    core::SystemClock real_;
    QDateTime startUtc_;
    double factor_;
    QElapsedTimer since_;
};

} // namespace nubivista::e2e::soak
