#include "sample_set.h"

#include "core/atomic_file.h"
#include "core/ole_date.h"
#include "feed/sim/frame_renderer.h"
#include "feed/sim/products.h"
#include "feed/sim/site_list.h"
#include "sets/set_record.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace samplegen {

namespace {

constexpr int kImageCount = 11;
constexpr int kIntervalMinutes = 6;
const QDateTime kNewestFrame(QDate(2026, 6, 12), QTime(14, 0), Qt::UTC);

// One frame of a set: its GIF bytes and its time (UTC).
struct Frame {
    QByteArray gif;
    QDateTime time;
};

// Writes frames as latest1.gif .. latestN.gif, the last the newest, and the
// set record that describes them as kmkx base reflectivity.
SampleSetOutcome writeSet(const QString& folder, const QList<Frame>& frames) {
    if (!QDir().mkpath(folder)) {
        return {false, QStringLiteral("cannot create %1").arg(folder)};
    }
    const int count = static_cast<int>(frames.size());
    nubivista::sets::SetRecord record;
    record.imageCount = static_cast<std::int16_t>(count);
    record.refreshIntervalMinutes = kIntervalMinutes;
    record.wrapState = 0;
    record.ringOffset = 0;
    record.newestSlot = static_cast<std::int16_t>(count);
    record.paneUrl =
        QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif");
    record.siteCode = QStringLiteral("kmkx");
    for (int slot = 1; slot <= count; ++slot) {
        const Frame& frame = frames[slot - 1];
        const QString path = QDir(folder).filePath(QStringLiteral("latest%1.gif").arg(slot));
        const nubivista::core::WriteOutcome written =
            nubivista::core::writeFileAtomically(path, frame.gif);
        if (!written.ok) {
            return {false, written.error};
        }
        const std::optional<nubivista::core::OleDate> utc =
            nubivista::core::oleFromDateTime(frame.time);
        // The last accepted image's time is the cache's last-modified time in local time.
        const std::optional<nubivista::core::OleDate> local =
            nubivista::core::oleFromDateTime(frame.time.toLocalTime());
        if (!utc || !local) {
            return {false, QStringLiteral("frame time out of range")};
        }
        record.slotTime[slot] = *utc;
        record.slotFilled[slot] = 1;
        if (slot == count) {
            record.lastImageTime = *local;
            record.lastImageSize = static_cast<std::int32_t>(frame.gif.size());
        }
    }
    const nubivista::core::WriteOutcome written = nubivista::core::writeFileAtomically(
        QDir(folder).filePath(QStringLiteral("CurrSetRec.sis")),
        nubivista::sets::encodeSetRecord(record));
    if (!written.ok) {
        return {false, written.error};
    }
    return {true, {}};
}

} // namespace

SampleSetOutcome writeSampleSet(const QString& folder) {
    const std::optional<nubivista::feed::sim::Site> site =
        nubivista::feed::sim::findSite(QStringLiteral("kmkx"));
    const std::optional<nubivista::feed::sim::Product> product =
        nubivista::feed::sim::findProduct(QStringLiteral("DS.p19r0"));
    if (!site || !product) {
        return {false, QStringLiteral("the simulator knows no kmkx DS.p19r0")};
    }
    const qint64 intervalSeconds = kIntervalMinutes * 60;
    QList<Frame> frames;
    for (int slot = 1; slot <= kImageCount; ++slot) {
        const QDateTime frameTime = kNewestFrame.addSecs(-intervalSeconds * (kImageCount - slot));
        const qint64 seconds = frameTime.toSecsSinceEpoch();
        const QByteArray gif =
            nubivista::feed::sim::frameGif(*site, *product, seconds, seconds / intervalSeconds);
        if (gif.isEmpty()) {
            return {false, QStringLiteral("cannot draw frame %1").arg(slot)};
        }
        frames.append({gif, frameTime});
    }
    return writeSet(folder, frames);
}

SampleSetOutcome writeSetFromGifs(const QString& folder, const QStringList& gifFiles) {
    if (gifFiles.size() < 2 || gifFiles.size() > nubivista::sets::kSlotCount) {
        return {false, QStringLiteral("a set holds 2 to %1 images, %2 given")
                           .arg(nubivista::sets::kSlotCount)
                           .arg(gifFiles.size())};
    }
    QList<Frame> frames;
    for (const QString& path : gifFiles) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return {false, QStringLiteral("cannot read %1").arg(path)};
        }
        const QByteArray gif = file.readAll();
        if (!gif.startsWith("GIF8")) {
            return {false, QStringLiteral("%1 is no GIF").arg(path)};
        }
        frames.append({gif, QFileInfo(file).lastModified().toUTC()});
    }
    return writeSet(folder, frames);
}

} // namespace samplegen
