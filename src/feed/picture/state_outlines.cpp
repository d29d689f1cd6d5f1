#include "feed/picture/state_outlines.h"

#include "feed/picture/little_endian.h"

#include <QFile>
#include <cmath>
#include <cstring>

namespace nubivista::feed::picture {

namespace {

constexpr char kMagic[8] = {'N', 'V', 'S', 'T', 'A', 'T', 'E', '1'};
constexpr std::uint32_t kMaxStates = 100;
constexpr std::uint32_t kMaxRings = 10'000;
constexpr std::uint32_t kMaxPoints = 1'000'000;

} // namespace

std::variant<StateOutlines, QString> readStateOutlines(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return QStringLiteral("not a state outline file");
    LittleEndian in(bytes.subspan(sizeof kMagic));
    const double scaleX = in.f64();
    const double scaleY = in.f64();
    const double translateX = in.f64();
    const double translateY = in.f64();
    const auto stateCount = static_cast<std::uint32_t>(in.read(4));
    if (!in.ok() || stateCount > kMaxStates || !std::isfinite(scaleX) || !std::isfinite(scaleY) ||
        !std::isfinite(translateX) || !std::isfinite(translateY))
        return QStringLiteral("the state outline file's header is damaged");
    StateOutlines states;
    states.reserve(stateCount);
    for (std::uint32_t s = 0; s < stateCount; ++s) {
        StateOutline state;
        const char code[2] = {char(in.read(1)), char(in.read(1))};
        state.code = QString::fromLatin1(code, 2);
        const auto ringCount = static_cast<std::uint32_t>(in.read(4));
        if (!in.ok() || ringCount > kMaxRings)
            return QStringLiteral("state %1 is damaged").arg(s);
        for (std::uint32_t r = 0; r < ringCount; ++r) {
            const auto count = static_cast<std::uint32_t>(in.read(4));
            if (!in.ok() || count > kMaxPoints || count * 8ull > in.remaining())
                return QStringLiteral("a ring of %1 is damaged").arg(state.code);
            std::vector<GeoPoint> ring;
            ring.reserve(count);
            for (std::uint32_t p = 0; p < count; ++p) {
                const double x = static_cast<double>(in.read(4));
                const double y = static_cast<double>(in.read(4));
                ring.push_back({y * scaleY + translateY, x * scaleX + translateX});
            }
            state.rings.push_back(std::move(ring));
        }
        states.push_back(std::move(state));
    }
    return states;
}

std::variant<StateOutlines, QString> loadStateOutlines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    return readStateOutlines(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size())));
}

StateOutlines stateOutlinesOrNone(const QString& path) {
    auto states = loadStateOutlines(path);
    if (auto* error = std::get_if<QString>(&states)) {
        qWarning("nubivista-feed: no warnings can be asked for: %s", qPrintable(*error));
        return {};
    }
    return std::get<StateOutlines>(std::move(states));
}

} // namespace nubivista::feed::picture
