#include "places/places_text.h"

#include <QStringDecoder>
#include <QStringList>
#include <variant>

namespace nubivista::places {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
constexpr int kFieldCount = 5;

// A place, or why the line is none.
std::variant<Place, QString> parsePlace(QByteArrayView line) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(line);
    if (utf8.hasError())
        return QStringLiteral("The Line Is Not UTF-8 Text.");
    const QStringList fields = text.split(QLatin1Char('\t'));
    if (fields.size() != kFieldCount)
        return QStringLiteral("A Place Has Five Fields Separated By Tabs: Name, Latitude, "
                              "Longitude, Radius And Alarm (1 Or 0).");
    Place place;
    place.name = fields[0].trimmed();
    place.latitude = placeNumber(fields[1]);
    place.longitude = placeNumber(fields[2]);
    place.radiusMiles = placeNumber(fields[3]);
    if (const auto problem = placeProblem(place))
        return problem->text;
    const QString alarm = fields[4].trimmed();
    if (alarm != QLatin1String("1") && alarm != QLatin1String("0"))
        return QStringLiteral("The Alarm Must Be 1 (On) Or 0 (Off).");
    place.alarmOn = alarm == QLatin1String("1");
    return place;
}

} // namespace

PlacesText readPlacesText(QByteArrayView bytes) {
    PlacesText read;
    if (bytes.startsWith(kByteOrderMark)) {
        read.byteOrderMark = true;
        bytes = bytes.sliced(kByteOrderMark.size());
    }
    const qsizetype firstBreak = bytes.indexOf('\n');
    read.crLf = firstBreak > 0 && bytes[firstBreak - 1] == '\r';
    int number = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(start, end - start);
        start = end + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        PlacesLine kept{line.toByteArray(), std::nullopt};
        if (!line.trimmed().isEmpty() && !line.startsWith('#')) {
            auto parsed = parsePlace(line);
            if (auto* place = std::get_if<Place>(&parsed))
                kept.place = std::move(*place);
            else
                read.unreadable.push_back(
                    {number, kept.text, std::get<QString>(std::move(parsed))});
        }
        read.lines.push_back(std::move(kept));
    }
    return read;
}

QByteArray placesTextBytes(const PlacesText& text) {
    const QByteArrayView lineBreak = text.crLf ? QByteArrayView("\r\n") : QByteArrayView("\n");
    QByteArray bytes;
    if (text.byteOrderMark)
        bytes += kByteOrderMark;
    for (const PlacesLine& line : text.lines) {
        bytes += line.text;
        bytes += lineBreak;
    }
    return bytes;
}

PlacesLine placeLine(const Place& place) {
    const QChar tab(QLatin1Char('\t'));
    const QString text = place.name.trimmed() + tab + placeNumberText(place.latitude) + tab +
                         placeNumberText(place.longitude) + tab +
                         placeNumberText(place.radiusMiles) + tab +
                         QLatin1Char(place.alarmOn ? '1' : '0');
    // The place as it reads back from its line.
    Place kept = place;
    kept.name = place.name.trimmed();
    kept.latitude = placeNumber(placeNumberText(place.latitude));
    kept.longitude = placeNumber(placeNumberText(place.longitude));
    kept.radiusMiles = placeNumber(placeNumberText(place.radiusMiles));
    return {text.toUtf8(), kept};
}

} // namespace nubivista::places
