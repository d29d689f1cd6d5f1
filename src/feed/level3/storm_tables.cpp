#include "feed/level3/storm_tables.h"

#include <QRegularExpression>

namespace nubivista::feed::level3 {

namespace {

// No product prints more; a larger count is a damaged field.
constexpr int kMaxPages = 64;
constexpr int kMaxLines = 64;
constexpr int kMaxLineLength = 132;
// Copies of the message header and the description block stand before the pages.
constexpr std::size_t kHeaderCopy = 120;

const QRegularExpression& cellId() {
    static const QRegularExpression id(QStringLiteral("^[A-Z][0-9]$"));
    return id;
}

// "161/154", after "/ 54" has lost its blank.
std::optional<AzimuthRange> azimuthRange(const QString& token) {
    const QStringList parts = token.split(QLatin1Char('/'));
    bool azimuthOk = false;
    bool rangeOk = false;
    if (parts.size() != 2)
        return std::nullopt;
    const double azimuth = parts[0].toDouble(&azimuthOk);
    const double range = parts[1].toDouble(&rangeOk);
    if (!azimuthOk || !rangeOk || azimuth < 0 || azimuth > 360 || range < 0)
        return std::nullopt;
    return AzimuthRange{azimuth, range};
}

// A row's words, with "NO DATA" one word and "/ 54" joined to its number.
QStringList words(QString line) {
    line.replace(QLatin1String("NO DATA"), QLatin1String("NO_DATA"));
    static const QRegularExpression slash(QStringLiteral("/\\s+"));
    line.replace(slash, QStringLiteral("/"));
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// " X0  161/154  236/ 41  157/151 153/150 149/149 146/148  0.9/ 2.0"
std::optional<StormTables::Track> trackRow(const QStringList& w) {
    if (w.size() != 8 || !cellId().match(w[0]).hasMatch())
        return std::nullopt;
    StormTables::Track track;
    track.id = w[0];
    const std::optional<AzimuthRange> at = azimuthRange(w[1]);
    const std::optional<AzimuthRange> error = azimuthRange(w[7]);
    if (!at || !error)
        return std::nullopt;
    track.at = *at;
    track.errorNm = error->azimuthDeg;
    track.meanErrorNm = error->rangeNm;
    if (w[2] != QLatin1String("NEW")) {
        const std::optional<AzimuthRange> movement = azimuthRange(w[2]);
        if (!movement)
            return std::nullopt;
        track.movementFromDeg = movement->azimuthDeg;
        track.speedKt = movement->rangeNm;
    }
    for (int slot = 0; slot < 4; ++slot) {
        const QString& word = w[3 + slot];
        if (word == QLatin1String("NO_DATA"))
            continue;
        track.forecast[std::size_t(slot)] = azimuthRange(word);
        if (!track.forecast[std::size_t(slot)])
            return std::nullopt;
    }
    return track;
}

// "U5  50  100  1.25"; a cell the radar could not judge says UNKNOWN.
std::optional<StormTables::Hail> hailRow(const QStringList& w) {
    if (w.size() != 4 || !cellId().match(w[0]).hasMatch())
        return std::nullopt;
    StormTables::Hail hail;
    hail.id = w[0];
    bool severeOk = false;
    bool probabilityOk = false;
    bool sizeOk = false;
    hail.severeProbability = w[1].toInt(&severeOk);
    hail.probability = w[2].toInt(&probabilityOk);
    hail.belowSize = w[3].startsWith(QLatin1Char('<'));
    hail.maxSizeIn = w[3].mid(hail.belowSize ? 1 : 0).toDouble(&sizeOk);
    if (!severeOk || !probabilityOk || !sizeOk)
        return std::nullopt;
    return hail;
}

// " 65  167/159 10L X0  49  86 <26 >23  53  26  49  N  254/ 36  2963"
std::optional<StormTables::Mesocyclone> mesocycloneRow(const QStringList& w) {
    static const QRegularExpression rank(QStringLiteral("^(\\d+)L?$"));
    if (w.size() < 12 || !azimuthRange(w[1]) || !cellId().match(w[3]).hasMatch())
        return std::nullopt;
    const QRegularExpressionMatch strength = rank.match(w[2]);
    if (!strength.hasMatch() || (w[11] != QLatin1String("Y") && w[11] != QLatin1String("N")))
        return std::nullopt;
    return StormTables::Mesocyclone{w[3], strength.captured(1).toInt(),
                                    w[11] == QLatin1String("Y")};
}

// "  TVS    M9    76/ 40  ..."
std::optional<StormTables::Vortex> vortexRow(const QStringList& w) {
    if (w.size() < 3 || (w[0] != QLatin1String("TVS") && w[0] != QLatin1String("ETVS")) ||
        !cellId().match(w[1]).hasMatch() || !azimuthRange(w[2]))
        return std::nullopt;
    return StormTables::Vortex{w[1], w[0] == QLatin1String("ETVS")};
}

} // namespace

std::variant<TextPages, DecodeError> readTabularBlock(ByteReader& r) {
    const std::int16_t divider = r.i16();
    const std::int16_t blockId = r.i16();
    r.u32(); // the block's length: the pages' own ends bound them
    r.skip(kHeaderCopy);
    const std::int16_t pagesDivider = r.i16();
    const int pageCount = r.i16();
    if (r.failed())
        return DecodeError{QStringLiteral("the tabular block's header is cut short"), r.offset()};
    if (divider != -1 || blockId != 3 || pagesDivider != -1 || pageCount < 0 ||
        pageCount > kMaxPages)
        return DecodeError{QStringLiteral("the tabular block has an impossible header"),
                           r.offset()};
    TextPages pages;
    for (int page = 0; page < pageCount; ++page) {
        QStringList lines;
        for (int length = r.i16(); length != -1; length = r.i16()) {
            if (r.failed() || length < 0 || length > kMaxLineLength || lines.size() >= kMaxLines)
                return DecodeError{
                    QStringLiteral("page %1 of the tabular block is damaged").arg(page + 1),
                    r.offset()};
            const Bytes text = r.take(std::size_t(length));
            if (r.failed())
                break;
            lines.append(QString::fromLatin1(reinterpret_cast<const char*>(text.data()),
                                             qsizetype(text.size())));
        }
        if (r.failed())
            return DecodeError{
                QStringLiteral("page %1 of the tabular block is cut short").arg(page + 1),
                r.offset()};
        pages.push_back(std::move(lines));
    }
    return pages;
}

StormTables readStormTables(int productCode, const TextPages& pages) {
    StormTables tables;
    for (const QStringList& page : pages) {
        for (const QString& line : page) {
            const QStringList w = words(line);
            if (productCode == 58) {
                if (auto track = trackRow(w))
                    tables.tracks.push_back(std::move(*track));
            } else if (productCode == 59) {
                if (auto hail = hailRow(w))
                    tables.hail.push_back(std::move(*hail));
            } else if (productCode == 141) {
                if (auto mesocyclone = mesocycloneRow(w))
                    tables.mesocyclones.push_back(std::move(*mesocyclone));
            } else if (productCode == 61) {
                if (auto vortex = vortexRow(w))
                    tables.vortices.push_back(std::move(*vortex));
            }
        }
    }
    return tables;
}

} // namespace nubivista::feed::level3
