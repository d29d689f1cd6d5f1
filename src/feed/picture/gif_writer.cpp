#include "feed/picture/gif_writer.h"

#include <gif_lib.h>
#include <memory>
#include <vector>

namespace nubivista::feed::picture {

namespace {

int appendToByteArray(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* out = static_cast<QByteArray*>(gif->UserData);
    out->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

} // namespace

std::optional<QByteArray> encodeGif(const IndexedImage& image, const Palette& palette) {
    if (image.width() <= 0 || image.height() <= 0) {
        return std::nullopt;
    }
    std::vector<GifColorType> colours(palette.size());
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colours[i] = GifColorType{palette[i].red, palette[i].green, palette[i].blue};
    }
    std::unique_ptr<ColorMapObject, MapFreer> colourMap(
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));
    if (!colourMap) {
        return std::nullopt;
    }

    QByteArray out;
    out.reserve(image.width() * image.height() / 4);
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&out, appendToByteArray, &error));
    if (!gif) {
        return std::nullopt;
    }
    EGifSetGifVersion(gif.get(), true);
    if (EGifPutScreenDesc(gif.get(), image.width(), image.height(), 8, 0, colourMap.get()) ==
            GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, image.width(), image.height(), false, nullptr) ==
            GIF_ERROR) {
        return std::nullopt;
    }
    // giflib takes non-const rows; it does not change them.
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width()));
    const std::uint8_t* source = image.pixels().data();
    for (int y = 0; y < image.height(); ++y) {
        std::copy(source, source + image.width(), row.begin());
        source += image.width();
        if (EGifPutLine(gif.get(), row.data(), image.width()) == GIF_ERROR) {
            return std::nullopt;
        }
    }
    // Closing writes the trailer; it must succeed before the bytes are whole.
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) {
        return std::nullopt;
    }
    return out;
}

} // namespace nubivista::feed::picture
