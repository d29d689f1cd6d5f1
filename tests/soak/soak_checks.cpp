#include "soak/soak_checks.h"

#include "sets/loop_set.h"
#include "sets/set_record.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace nubivista::soak {

RecordWatch::RecordWatch(const sets::LoopSet& loop, std::function<int()> refreshInterval)
    : loop_(loop), refreshInterval_(std::move(refreshInterval)) {}

std::optional<QString> RecordWatch::check() {
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
    if (!ring.record || !(*ring.record == *read.record))
        return QStringLiteral("CurrSetRec.sis disagrees with the ring (newest slot %1 on disk, "
                              "%2 in the window; ring offset %3 / %4)")
            .arg(read.record->newestSlot)
            .arg(loop_.model().newestSlot)
            .arg(read.record->ringOffset)
            .arg(loop_.model().ringOffset);
    return std::nullopt;
}

FrameTruth::FrameTruth(std::function<QByteArray(const QString&)> fetch, QString product,
                       QString site, int frameSeconds)
    : fetch_(std::move(fetch)),
      product_(std::move(product)),
      site_(std::move(site)),
      frameSeconds_(frameSeconds) {}

const QByteArray& FrameTruth::frameAt(const QDateTime& frameTimeUtc) {
    const qint64 key = frameTimeUtc.toSecsSinceEpoch();
    auto found = frames_.find(key);
    if (found == frames_.end()) {
        const QString name = QStringLiteral("sn_%1_at_%2.gif")
                                 .arg(frameTimeUtc.toString(QStringLiteral("yyyyMMdd")),
                                      frameTimeUtc.toString(QStringLiteral("HHmmss")));
        found = frames_.insert(
            key, fetch_(QStringLiteral("/radar/images/%1/SI.%2/%3").arg(product_, site_, name)));
    }
    return *found;
}

std::optional<QString> FrameTruth::check(const QByteArray& bytes, const QDateTime& slotTimeUtc,
                                         int stampAdjustMinutes) {
    // Slot times are whole seconds of a frame time.
    const QDateTime stamped =
        QDateTime::fromSecsSinceEpoch((slotTimeUtc.toMSecsSinceEpoch() + 500) / 1000, Qt::UTC);
    for (const QDateTime& frameTime : {stamped, stamped.addSecs(-stampAdjustMinutes * 60)})
        if (frameAt(frameTime) == bytes || isRepublishedFrame(bytes, frameTime))
            return std::nullopt;
    return QStringLiteral("the image stamped %1 UTC (%2 bytes) is no frame the simulator served "
                          "for that time")
        .arg(stamped.toString(Qt::ISODate))
        .arg(bytes.size());
}

void FrameTruth::noteRepublish(const QDateTime& fromUtc, const QDateTime& untilUtc) {
    republished_.append({fromUtc, untilUtc});
}

bool FrameTruth::isRepublishedFrame(const QByteArray& bytes, const QDateTime& frameTimeUtc) {
    for (const Republish& span : std::as_const(republished_)) {
        // The simulator's clock and ours agree to within a frame: the frozen
        // frame is the one newest at the start, or the one before it.
        const qint64 from = span.from.toSecsSinceEpoch();
        const qint64 newestAtStart = from - from % frameSeconds_;
        if (frameTimeUtc.toSecsSinceEpoch() <= newestAtStart - frameSeconds_ ||
            frameTimeUtc > span.until.addSecs(frameSeconds_))
            continue;
        for (const qint64 frozen : {newestAtStart, newestAtStart - frameSeconds_})
            if (frameAt(QDateTime::fromSecsSinceEpoch(frozen, Qt::UTC)) == bytes)
                return true;
    }
    return false;
}

void StallWatch::tick(int intervalMs) {
    if (since_.isValid())
        longest_ = std::max(longest_, since_.elapsed() - intervalMs);
    since_.start();
}

namespace {

qint64 residentKb(const QString& statusPath) {
    QFile status(statusPath);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

qint64 parentOf(const QString& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The name in parentheses may hold blanks; the fields after it do not.
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 ? -1 : text.mid(close + 2).split(' ').value(1).toLongLong();
}

} // namespace

qint64 residentKbOfProcessTree() {
    QMap<qint64, qint64> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number)
            parents.insert(pid, parentOf(entry));
    }
    // The simulator is the harness's child too, but not part of the program.
    const auto isSimulator = [](qint64 pid) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "nubivista-feed";
    };
    QList<qint64> tree{static_cast<qint64>(::getpid())};
    for (qsizetype i = 0; i < tree.size(); ++i)
        for (auto it = parents.cbegin(); it != parents.cend(); ++it)
            if (it.value() == tree[i] && !isSimulator(it.key()))
                tree.append(it.key());
    qint64 total = 0;
    for (const qint64 pid : tree)
        total += residentKb(QStringLiteral("/proc/%1/status").arg(pid));
    return total;
}

} // namespace nubivista::soak
