#include "feed/picture/boundaries.h"

#include "feed/picture/little_endian.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace nubivista::feed::picture {

namespace {

constexpr char kMagic[8] = {'N', 'V', 'B', 'N', 'D', 'R', 'Y', '1'};
constexpr std::uint32_t kMaxLines = 100000;
constexpr std::uint32_t kMaxPoints = 1000000;

} // namespace

std::variant<BoundaryLines, QString> readBoundaries(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return QStringLiteral("not a boundary file");
    LittleEndian in(bytes.subspan(sizeof kMagic));
    const double scaleX = in.f64();
    const double scaleY = in.f64();
    const double translateX = in.f64();
    const double translateY = in.f64();
    const auto lineCount = static_cast<std::uint32_t>(in.read(4));
    if (!in.ok() || lineCount > kMaxLines || !std::isfinite(scaleX) || !std::isfinite(scaleY))
        return QStringLiteral("the boundary file's header is damaged");
    BoundaryLines lines;
    lines.reserve(lineCount);
    for (std::uint32_t i = 0; i < lineCount; ++i) {
        BoundaryLine line;
        const auto kind = static_cast<std::uint8_t>(in.read(1));
        const auto count = static_cast<std::uint32_t>(in.read(4));
        if (!in.ok() || kind < 1 || kind > 3 || count > kMaxPoints || count * 8ull > in.remaining())
            return QStringLiteral("boundary line %1 is damaged").arg(i);
        line.kind = static_cast<BoundaryLine::Kind>(kind);
        line.points.reserve(count);
        for (std::uint32_t p = 0; p < count; ++p) {
            const double x = static_cast<double>(in.read(4));
            const double y = static_cast<double>(in.read(4));
            line.points.push_back({y * scaleY + translateY, x * scaleX + translateX});
        }
        if (!line.points.empty()) {
            const auto [south, north] = std::minmax_element(
                line.points.begin(), line.points.end(),
                [](const GeoPoint& a, const GeoPoint& b) { return a.latitude < b.latitude; });
            const auto [west, east] = std::minmax_element(
                line.points.begin(), line.points.end(),
                [](const GeoPoint& a, const GeoPoint& b) { return a.longitude < b.longitude; });
            line.south = south->latitude;
            line.north = north->latitude;
            line.west = west->longitude;
            line.east = east->longitude;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::variant<BoundaryLines, QString> loadBoundaries(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    return readBoundaries(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}

} // namespace nubivista::feed::picture
