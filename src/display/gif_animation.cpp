#include "display/gif_animation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gif_lib.h>
#include <memory>
#include <optional>
#include <unordered_map>

namespace nubivista::display {

namespace {

// The palette's spare entry marks unchanged pixels, so one colour of the 256
// stays free for it.
constexpr int kMaxSharedColours = 255;
constexpr qsizetype kFlushBytes = 64 * 1024;
constexpr int kMaxDelayCentiseconds = 0xFFFF;

// giflib's bytes, gathered and handed to the device in large writes.
struct Sink {
    QIODevice* device = nullptr;
    QByteArray pending;
    QString error;

    bool flush() {
        if (!error.isEmpty())
            return false;
        qint64 done = 0;
        while (done < pending.size()) {
            const qint64 n = device->write(pending.constData() + done, pending.size() - done);
            if (n <= 0) {
                error = device->errorString();
                if (error.isEmpty())
                    error = QStringLiteral("the file could not be written");
                return false;
            }
            done += n;
        }
        pending.clear();
        return true;
    }
};

int toSink(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* sink = static_cast<Sink*>(gif->UserData);
    sink->pending.append(reinterpret_cast<const char*>(bytes), length);
    if (sink->pending.size() >= kFlushBytes && !sink->flush())
        return 0;
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapFreer>;

// giflib wants a power of two entries; the rest are black.
ColourMap makeColourMap(const std::vector<QRgb>& colours) {
    int size = 2;
    while (size < static_cast<int>(colours.size()) && size < 256)
        size *= 2;
    std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size() && i < entries.size(); ++i)
        entries[i] = GifColorType{static_cast<GifByteType>(qRed(colours[i])),
                                  static_cast<GifByteType>(qGreen(colours[i])),
                                  static_cast<GifByteType>(qBlue(colours[i]))};
    return ColourMap(GifMakeMapObject(size, entries.data()));
}

QImage asRgb32(const QImage& frame, QSize canvas) {
    if (frame.isNull()) {
        QImage black(canvas, QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }
    return frame.format() == QImage::Format_RGB32 ? frame
                                                  : frame.convertToFormat(QImage::Format_RGB32);
}

// The colours of one palette and each colour's index, found quickly for runs.
class SharedPalette {
public:
    // False once the frames hold more colours than the palette can.
    bool add(const QImage& frame) {
        const int width = frame.width();
        const int height = frame.height();
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                const QRgb colour = row[x] | 0xFF000000u;
                if (colour == lastColour_ && haveLast_)
                    continue;
                if (!index_.contains(colour)) {
                    if (static_cast<int>(colours_.size()) == kMaxSharedColours)
                        return false;
                    index_.emplace(colour, static_cast<std::uint8_t>(colours_.size()));
                    colours_.push_back(colour);
                }
                lastColour_ = colour;
                haveLast_ = true;
            }
        }
        return true;
    }

    // Every pixel's index; the frame holds only colours that were added.
    void indicesOf(const QImage& frame, std::vector<std::uint8_t>& out) const {
        const int width = frame.width();
        const int height = frame.height();
        out.resize(static_cast<std::size_t>(width) * height);
        std::size_t at = 0;
        QRgb last = 0;
        std::uint8_t lastIndex = 0;
        bool haveLast = false;
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                const QRgb colour = row[x] | 0xFF000000u;
                if (!haveLast || colour != last) {
                    const auto found = index_.find(colour);
                    lastIndex = found == index_.end() ? 0 : found->second;
                    last = colour;
                    haveLast = true;
                }
                out[at++] = lastIndex;
            }
        }
    }

    const std::vector<QRgb>& colours() const { return colours_; }
    int transparentIndex() const { return static_cast<int>(colours_.size()); }

private:
    std::vector<QRgb> colours_;
    std::unordered_map<QRgb, std::uint8_t> index_;
    QRgb lastColour_ = 0;
    bool haveLast_ = false;
};

// Viewers (browsers, Qt) play a delay below 2 hundredths as a tenth of a
// second; 2 is the nearest a GIF gets to the loop's shortest delay.
constexpr int kMinDelayCentiseconds = 2;

int centiseconds(int delayMs) {
    return std::clamp((delayMs + 5) / 10, kMinDelayCentiseconds, kMaxDelayCentiseconds);
}

class Writer {
public:
    Writer(QIODevice& out, QSize canvas) : canvas_(canvas) { sink_.device = &out; }

    bool open(const ColorMapObject* globalMap) {
        int error = 0;
        gif_ = GifHandle(EGifOpen(&sink_, toSink, &error));
        if (!gif_)
            return fail(error);
        EGifSetGifVersion(gif_.get(), true);
        const int resolution = globalMap ? globalMap->BitsPerPixel : 8;
        if (EGifPutScreenDesc(gif_.get(), canvas_.width(), canvas_.height(), resolution, 0,
                              globalMap) == GIF_ERROR)
            return fail(gif_->Error);
        // NETSCAPE2.0 with a count of 0: play again and again.
        static const GifByteType kLoopForever[] = {1, 0, 0};
        if (EGifPutExtensionLeader(gif_.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
            EGifPutExtensionBlock(gif_.get(), 11, "NETSCAPE2.0") == GIF_ERROR ||
            EGifPutExtensionBlock(gif_.get(), 3, kLoopForever) == GIF_ERROR ||
            EGifPutExtensionTrailer(gif_.get()) == GIF_ERROR)
            return fail(gif_->Error);
        return true;
    }

    // One image of the frame: rows of indices width wide from rect's corner.
    bool putImage(const QRect& rect, int delayMs, int transparent, const ColorMapObject* localMap,
                  const std::function<const std::uint8_t*(int row)>& rowAt) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = centiseconds(delayMs);
        control.TransparentColor = transparent;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif_.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                             extension) == GIF_ERROR ||
            EGifPutImageDesc(gif_.get(), rect.x(), rect.y(), rect.width(), rect.height(), false,
                             localMap) == GIF_ERROR)
            return fail(gif_->Error);
        // giflib takes non-const rows; it does not change them.
        std::vector<GifPixelType> row(static_cast<std::size_t>(rect.width()));
        for (int y = 0; y < rect.height(); ++y) {
            const std::uint8_t* source = rowAt(y);
            std::copy(source, source + rect.width(), row.begin());
            if (EGifPutLine(gif_.get(), row.data(), rect.width()) == GIF_ERROR)
                return fail(gif_->Error);
        }
        return true;
    }

    bool close() {
        int error = 0;
        // Closing writes the trailer; only then are the bytes a whole file.
        if (EGifCloseFile(gif_.release(), &error) == GIF_ERROR)
            return fail(error);
        if (!sink_.flush())
            return false;
        return true;
    }

    QString error() const { return error_.isEmpty() ? sink_.error : error_; }

private:
    bool fail(int gifError) {
        // A failed device write shows in giflib as a failed write; the
        // device's reason is the one worth telling.
        if (sink_.error.isEmpty()) {
            const char* text = GifErrorString(gifError);
            error_ = text ? QString::fromLatin1(text) : QStringLiteral("GIF encoder failure");
        }
        return false;
    }

    QSize canvas_;
    Sink sink_;
    GifHandle gif_;
    QString error_;
};

// The smallest rectangle holding every index that changed; empty when none did.
QRect changedRect(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& now,
                  QSize canvas) {
    int left = canvas.width(), right = -1, top = canvas.height(), bottom = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        const std::size_t start = static_cast<std::size_t>(y) * canvas.width();
        const auto* a = before.data() + start;
        const auto* b = now.data() + start;
        int x = 0;
        while (x < canvas.width() && a[x] == b[x])
            ++x;
        if (x == canvas.width())
            continue;
        int last = canvas.width() - 1;
        while (a[last] == b[last])
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

AnimationWrite failed(const QString& error) {
    return {AnimationWrite::Status::Failed, error, false};
}

} // namespace

AnimationWrite writeAnimatedGif(QIODevice& out, QSize canvas, const std::vector<int>& delaysMs,
                                const AnimationFrameSource& frame,
                                const AnimationKeepGoing& keepGoing) {
    const int count = static_cast<int>(delaysMs.size());
    if (count == 0 || canvas.isEmpty() || canvas.width() > 0xFFFF || canvas.height() > 0xFFFF)
        return failed(QStringLiteral("there is no picture to write"));
    const auto goOn = [&keepGoing, count](int done) {
        return !keepGoing || keepGoing(done, count);
    };
    const auto frameAt = [&frame, canvas](int index) -> std::optional<QImage> {
        QImage image = asRgb32(frame(index), canvas);
        if (image.size() != canvas)
            return std::nullopt;
        return image;
    };

    SharedPalette palette;
    bool shared = true;
    for (int i = 0; i < count && shared; ++i) {
        if (!goOn(0))
            return {AnimationWrite::Status::Stopped, {}, false};
        const std::optional<QImage> image = frameAt(i);
        if (!image)
            return failed(QStringLiteral("a frame does not have the animation's size"));
        shared = palette.add(*image);
    }

    Writer writer(out, canvas);
    ColourMap globalMap;
    if (shared) {
        // One more entry than the colours: the transparent one.
        std::vector<QRgb> entries = palette.colours();
        entries.push_back(qRgb(0, 0, 0));
        globalMap = makeColourMap(entries);
        if (!globalMap)
            return failed(QStringLiteral("the palette could not be made"));
    }
    if (!writer.open(globalMap.get()))
        return failed(writer.error());

    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> now;
    std::vector<std::uint8_t> patch;
    for (int i = 0; i < count; ++i) {
        if (!goOn(i))
            return {AnimationWrite::Status::Stopped, {}, shared};
        const std::optional<QImage> image = frameAt(i);
        if (!image)
            return failed(QStringLiteral("a frame does not have the animation's size"));
        bool written = false;
        if (shared) {
            palette.indicesOf(*image, now);
            const int width = canvas.width();
            if (i == 0) {
                written =
                    writer.putImage(QRect(QPoint(0, 0), canvas), delaysMs[i], NO_TRANSPARENT_COLOR,
                                    nullptr, [&now, width](int row) {
                                        return now.data() + static_cast<std::size_t>(row) * width;
                                    });
            } else {
                QRect rect = changedRect(before, now, canvas);
                if (rect.isEmpty())
                    rect = QRect(0, 0, 1, 1); // an unchanged frame still holds its time
                const auto transparent = static_cast<std::uint8_t>(palette.transparentIndex());
                patch.assign(static_cast<std::size_t>(rect.width()) * rect.height(), transparent);
                for (int y = 0; y < rect.height(); ++y) {
                    const std::size_t from =
                        static_cast<std::size_t>(rect.y() + y) * width + rect.x();
                    std::uint8_t* to = patch.data() + static_cast<std::size_t>(y) * rect.width();
                    for (int x = 0; x < rect.width(); ++x)
                        if (now[from + x] != before[from + x])
                            to[x] = now[from + x];
                }
                const int patchWidth = rect.width();
                written = writer.putImage(
                    rect, delaysMs[i], transparent, nullptr, [&patch, patchWidth](int row) {
                        return patch.data() + static_cast<std::size_t>(row) * patchWidth;
                    });
            }
            std::swap(before, now);
        } else {
            const QImage indexed = image->convertToFormat(QImage::Format_Indexed8);
            const QList<QRgb> table = indexed.colorTable();
            const ColourMap localMap = makeColourMap(std::vector<QRgb>(table.begin(), table.end()));
            if (!localMap)
                return failed(QStringLiteral("the palette could not be made"));
            written = writer.putImage(QRect(QPoint(0, 0), canvas), delaysMs[i],
                                      NO_TRANSPARENT_COLOR, localMap.get(),
                                      [&indexed](int row) { return indexed.constScanLine(row); });
        }
        if (!written)
            return failed(writer.error());
    }
    if (!writer.close())
        return failed(writer.error());
    return {AnimationWrite::Status::Written, {}, shared};
}

} // namespace nubivista::display
