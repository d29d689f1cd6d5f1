#include "sample_set.h"

#include "core/atomic_file.h"
#include "core/ole_date.h"
#include "frame_renderer.h"
#include "products.h"
#include "sets/set_record.h"
#include "site_list.h"

#include <QDateTime>
#include <QDir>

namespace samplegen {

namespace {

constexpr int kImageCount = 11;
constexpr int kIntervalMinutes = 6;
const QDateTime kNewestFrame(QDate(2026, 6, 12), QTime(14, 0), Qt::UTC);

} // namespace

SampleSetOutcome writeSampleSet(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return {false, QStringLiteral("cannot create %1").arg(folder)};
    }
    const std::optional<radarsim::Site> site = radarsim::findSite(QStringLiteral("kmkx"));
    const std::optional<radarsim::Product> product =
        radarsim::findProduct(QStringLiteral("DS.p19r0"));
    if (!site || !product) {
        return {false, QStringLiteral("the simulator knows no kmkx DS.p19r0")};
    }

    nubivista::sets::SetRecord record;
    record.imageCount = kImageCount;
    record.refreshIntervalMinutes = kIntervalMinutes;
    record.wrapState = 0;
    record.ringOffset = 0;
    record.newestSlot = kImageCount;
    record.paneUrl =
        QStringLiteral("http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif");
    record.siteCode = QStringLiteral("kmkx");
    const qint64 intervalSeconds = kIntervalMinutes * 60;
    for (int slot = 1; slot <= kImageCount; ++slot) {
        const QDateTime frameTime = kNewestFrame.addSecs(-intervalSeconds * (kImageCount - slot));
        const qint64 seconds = frameTime.toSecsSinceEpoch();
        const QByteArray gif =
            radarsim::frameGif(*site, *product, seconds, seconds / intervalSeconds);
        if (gif.isEmpty()) {
            return {false, QStringLiteral("cannot draw frame %1").arg(slot)};
        }
        const QString path = QDir(folder).filePath(QStringLiteral("latest%1.gif").arg(slot));
        const nubivista::core::WriteOutcome written =
            nubivista::core::writeFileAtomically(path, gif);
        if (!written.ok) {
            return {false, written.error};
        }
        const std::optional<nubivista::core::OleDate> utc =
            nubivista::core::oleFromDateTime(frameTime);
        // The last accepted image's time is the cache's last-modified time in local time.
        const std::optional<nubivista::core::OleDate> local =
            nubivista::core::oleFromDateTime(frameTime.toLocalTime());
        if (!utc || !local) {
            return {false, QStringLiteral("frame time out of range")};
        }
        record.slotTime[slot] = *utc;
        record.slotFilled[slot] = 1;
        if (slot == kImageCount) {
            record.lastImageTime = *local;
            record.lastImageSize = static_cast<std::int32_t>(gif.size());
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

} // namespace samplegen
