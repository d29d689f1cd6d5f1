#include "feed/picture/frame_composer.h"

#include "feed/picture/bitmap_font.h"
#include "feed/picture/frame_geometry.h"
#include "feed/picture/gif_writer.h"
#include "feed/picture/palettes.h"

#include <cmath>
#include <string>

namespace nubivista::feed::picture {

namespace {

void drawEchoes(IndexedImage& image, const EchoGrid& echoes) {
    for (int y = kMapTop; y < kMapBottom; ++y)
        for (int x = 0; x < kImageWidth; ++x)
            if (const std::uint8_t index = echoColour(echoes.kind(), echoes.at(x, y));
                index != colour::kBlack)
                image.setPixel(x, y, index);
}

// The map goes over the echoes, as map overlays do.
void drawBasemap(IndexedImage& image, const IndexedImage& basemap) {
    for (int y = kMapTop; y < kMapBottom; ++y)
        for (int x = 0; x < kImageWidth; ++x)
            if (const std::uint8_t index = basemap.pixel(x, y); index != 0)
                image.setPixel(x, y, index);
}

void drawHeader(IndexedImage& image, const FrameTitles& titles) {
    image.fillRect(0, 0, kImageWidth, kMapTop, colour::kBlack);
    drawText(image, 4, 1, titles.site.toStdString(), colour::kYellow);
    const double rangeMiles = kCenterX * milesPerPixel(titles.longRange);
    const QString caption =
        titles.product + QStringLiteral("  RANGE %1 MI").arg(std::lround(rangeMiles));
    drawText(image, 4, 11, caption.toStdString(), colour::kWhite);
    // The scan's own time, centred in the strip the program cuts out.
    const std::string stamp = stampText(titles.scanTime).toStdString();
    drawText(image, kStampX + (kStampWidth - textWidth(stamp)) / 2, kStampY + 1, stamp,
             colour::kWhite);
    const std::string source = titles.simulated ? "SIMULATED" : "NWS LEVEL III";
    drawText(image, kImageWidth - textWidth(source) - 4, 11, source,
             titles.simulated ? colour::kYellow : colour::kLegendText);
}

// Each note on a black band across the top of the map, where it covers no
// part of the radar's near range; a long one is broken between words.
void drawNotes(IndexedImage& image, const std::vector<QString>& notes) {
    constexpr int kMargin = 6;
    const int widest = (kImageWidth - 2 * kMargin) / kGlyphAdvance;
    std::vector<std::string> lines;
    for (const QString& note : notes) {
        QString line;
        for (const QString& word : note.toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > widest) {
                lines.push_back(line.toStdString());
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word.left(widest);
        }
        if (!line.isEmpty())
            lines.push_back(line.toStdString());
    }
    constexpr int kLineHeight = kGlyphHeight + 3;
    constexpr int kMaxLines = 4;
    if (lines.size() > kMaxLines)
        lines.resize(kMaxLines);
    int y = kMapTop + 8;
    for (const std::string& line : lines) {
        const int width = textWidth(line);
        const int x = (kImageWidth - width) / 2;
        image.fillRect(x - 4, y - 2, width + 8, kLineHeight + 1, colour::kBlack);
        drawText(image, x, y, line, colour::kYellow);
        y += kLineHeight;
    }
}

void drawLegend(IndexedImage& image, EchoKind kind) {
    image.fillRect(0, kMapBottom, kImageWidth, kImageHeight - kMapBottom, colour::kBlack);
    const int boxTop = kMapBottom + 2;
    const bool rainfall = kind == EchoKind::Rainfall;
    drawText(image, 4, boxTop + 4, rainfall ? "IN" : "DBZ", colour::kLegendText);
    const int steps = rainfall ? int(rainfallSteps().size()) : 15;
    const int boxWidth = rainfall ? 40 : 38;
    for (int level = 0; level < steps; ++level) {
        const int left = 26 + level * boxWidth;
        const auto index = static_cast<std::uint8_t>(
            (rainfall ? colour::kRainfallFirst : colour::kReflectivityFirst) + level);
        image.fillRect(left, boxTop, boxWidth - 2, 7, index);
        const std::string label = rainfall ? std::string(rainfallLabels()[std::size_t(level)])
                                           : std::to_string(5 * (level + 1));
        drawText(image, left + (boxWidth - 2 - textWidth(label)) / 2, boxTop + 9, label,
                 colour::kLegendText);
    }
}

} // namespace

QString stampText(const QDateTime& utc) {
    return utc.toUTC().toString(QStringLiteral("MM/dd/yyyy HH:mm 'UTC'"));
}

IndexedImage composeFrame(const EchoGrid& echoes, const IndexedImage& basemap,
                          const FrameTitles& titles) {
    IndexedImage image(kImageWidth, kImageHeight, colour::kBlack);
    drawEchoes(image, echoes);
    drawBasemap(image, basemap);
    drawNotes(image, titles.notes);
    drawHeader(image, titles);
    drawLegend(image, echoes.kind());
    return image;
}

QByteArray frameGif(const IndexedImage& frame, bool oddSize) {
    const std::optional<QByteArray> encoded = encodeGif(frame, radarPalette());
    if (!encoded || encoded->size() < 14)
        return {};
    // A comment block (introducer, label, length, text, terminator: 4 + n
    // bytes) before the trailer sets the size's parity.
    QByteArray gif = *encoded;
    const qsizetype withOneCharacter = gif.size() + 5;
    const int textLength = ((withOneCharacter & 1) != 0) == oddSize ? 1 : 2;
    QByteArray comment;
    comment.append('\x21').append('\xFE').append(static_cast<char>(textLength));
    comment.append(QByteArray("nv").left(textLength)).append('\0');
    gif.insert(gif.size() - 1, comment);
    // The encoder reserves room for a poorly compressing image; caches count
    // bytes, so a kept frame must not hold several times its size.
    gif.squeeze();
    return gif;
}

} // namespace nubivista::feed::picture
