#include "display/loop_gif.h"

#include "display/gif_animation.h"
#include "display/time_text.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <utility>

namespace nubivista::display {

namespace {

constexpr int kStampPadPx = 2;
const QString kBreak = QStringLiteral("\r\n");

QSize scaledSize(QSize natural, double scale) {
    return QSize(std::max(1, static_cast<int>(std::lround(natural.width() * scale))),
                 std::max(1, static_cast<int>(std::lround(natural.height() * scale))));
}

QString cannotCreateText(const QString& path, const QString& reason) {
    return QStringLiteral("The animated GIF could not be made in the folder") + kBreak +
           QDir::toNativeSeparators(QFileInfo(path).absolutePath()) + kBreak + QLatin1Char('(') +
           reason + QStringLiteral(").") + kBreak +
           QStringLiteral("Choose a folder you may write in.");
}

QString cannotWriteText(const QString& path, const QString& reason) {
    return QStringLiteral("The animated GIF could not be written:") + kBreak +
           QDir::toNativeSeparators(path) + kBreak + QLatin1Char('(') + reason +
           QStringLiteral("). The disk may be full.") + kBreak +
           QStringLiteral("Nothing was left behind; free some space or choose another place.");
}

} // namespace

LoopGifJob loopGifJob(const sets::SlotModel& model,
                      const std::function<QImage(int slot)>& pictureOf, const TabFlags& skipped,
                      const LoopGifLook& look, const core::Clock& clock,
                      const OverlayOfSlot& overlayOf) {
    LoopTabs tabs;
    tabs.skipped = skipped;
    for (int tab = 1; tab <= kLoopTabs; ++tab)
        tabs.filled[tab] = model.slotFilled[sets::slotForTab(tab, model.ringOffset)] == 1;

    LoopGifJob job;
    job.scale = std::clamp(look.zoom, 0.1, kMaxGifZoom);
    const std::vector<PlayedImage> lap = loopLap(tabs, look.delays, look.rockMode);
    if (lap.empty())
        return job;

    // The view takes the newest picture's size and shows every other one
    // stretched to it; so does the file.
    QSize natural;
    if (model.newestSlot >= 1 && model.newestSlot <= sets::kSlotCount)
        natural = pictureOf(model.newestSlot).size();
    std::array<QImage, kLoopTabs + 1> pictures;
    std::array<QImage, kLoopTabs + 1> stamps;
    std::array<PictureOverlay, kLoopTabs + 1> overlays;
    TabFlags gathered{};
    for (const PlayedImage& played : lap) {
        if (std::exchange(gathered[played.tab], true))
            continue;
        const int slot = sets::slotForTab(played.tab, model.ringOffset);
        pictures[played.tab] = pictureOf(slot);
        if (overlayOf)
            overlays[played.tab] = overlayOf(slot);
        if (natural.isEmpty())
            natural = pictures[played.tab].size();
        const std::optional<QString> text =
            timeText(model.slotTime[slot], look.timeDisplayMode, clock);
        if (text && !text->isEmpty())
            stamps[played.tab] = timeStampImage(*text, job.scale);
    }
    if (natural.isEmpty())
        return job;
    job.canvas = scaledSize(natural, job.scale);
    for (const PlayedImage& played : lap)
        job.frames.push_back(
            {pictures[played.tab], stamps[played.tab], played.intervalMs, overlays[played.tab]});
    return job;
}

QImage timeStampImage(const QString& text, double scale) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(9, static_cast<int>(std::lround(10 * scale))));
    // Two colours only: the frames keep sharing one palette.
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    // At least the strip where the picture prints its own time, which it hides.
    const QSize size(
        std::max(metrics.horizontalAdvance(text) + 2 * kStampPadPx,
                 static_cast<int>(std::lround(kStampStrip.width() * scale))),
        std::max(metrics.height(), static_cast<int>(std::lround(kStampStrip.height() * scale))));
    QImage stamp(size, QImage::Format_RGB32);
    stamp.fill(Qt::black);
    QPainter painter(&stamp);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 0), size - QSize(kStampPadPx, 0)),
                     Qt::AlignRight | Qt::AlignVCenter, text);
    return stamp;
}

QPoint timeStampPosition(QSize canvas, double scale, QSize stamp) {
    const int right =
        static_cast<int>(std::lround((kStampStrip.x() + kStampStrip.width()) * scale));
    const int left = std::min(right, canvas.width()) - stamp.width();
    return QPoint(std::max(0, left), 0);
}

QImage loopGifFrame(const LoopGifJob& job, int index) {
    const LoopGifFrame* source = index >= 0 && index < static_cast<int>(job.frames.size())
                                     ? &job.frames[static_cast<std::size_t>(index)]
                                     : nullptr;
    // Slot pictures are opaque RGB32: the scaled copy is the frame itself.
    QImage frame;
    if (source && !source->picture.isNull())
        frame = source->picture.scaled(job.canvas, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .convertToFormat(QImage::Format_RGB32);
    if (frame.size() != job.canvas) {
        frame = QImage(job.canvas, QImage::Format_RGB32);
        frame.fill(Qt::black);
    }
    if (!source)
        return frame;
    QPainter painter(&frame);
    const QRectF whole(QPointF(0, 0), QSizeF(job.canvas));
    if (!source->picture.isNull())
        // Without smoothing: the frames keep sharing one small palette.
        paintPictureOverlay(painter, source->overlay, whole, source->picture.size(), whole, false);
    if (!source->stamp.isNull())
        painter.drawImage(timeStampPosition(job.canvas, job.scale, source->stamp.size()),
                          source->stamp);
    return frame;
}

LoopGifOutcome writeLoopGif(const LoopGifJob& job, const QString& path,
                            const std::function<bool(int done, int total)>& keepGoing) {
    using Status = LoopGifOutcome::Status;
    if (job.frames.size() < 2 || job.canvas.isEmpty())
        return {Status::Failed, QStringLiteral("The loop needs at least two images to export."), 0};
    std::vector<int> delays;
    delays.reserve(job.frames.size());
    for (const LoopGifFrame& frame : job.frames)
        delays.push_back(frame.delayMs);

    // QSaveFile writes beside the target and renames only at commit; left
    // uncommitted, it removes its temporary file. Unbuffered, so that every
    // failed write is seen here and not lost in a final flush.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {Status::Failed, cannotCreateText(path, file.errorString()), 0};
    const AnimationWrite written = writeAnimatedGif(
        file, job.canvas, delays, [&job](int index) { return loopGifFrame(job, index); },
        keepGoing);
    if (written.status == AnimationWrite::Status::Stopped) {
        file.cancelWriting();
        return {Status::Cancelled, {}, 0};
    }
    if (written.status == AnimationWrite::Status::Failed) {
        file.cancelWriting();
        return {Status::Failed, cannotWriteText(path, written.error), 0};
    }
    const qint64 bytes = file.size();
    if (!file.commit())
        return {Status::Failed, cannotWriteText(path, file.errorString()), 0};
    return {Status::Written, {}, bytes};
}

} // namespace nubivista::display
