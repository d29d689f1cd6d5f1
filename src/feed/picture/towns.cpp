#include "feed/picture/towns.h"

#include "feed/picture/little_endian.h"

#include <QFile>
#include <cstring>

namespace nubivista::feed::picture {

namespace {

constexpr char kMagic[8] = {'N', 'V', 'T', 'O', 'W', 'N', 'S', '1'};
constexpr std::uint32_t kMaxTowns = 1'000'000;

double degrees(std::uint64_t stored) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(stored)) / 1e5;
}

} // namespace

std::variant<Towns, QString> readTowns(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return QStringLiteral("not a towns file");
    LittleEndian in(bytes.subspan(sizeof kMagic));
    const auto count = static_cast<std::uint32_t>(in.read(4));
    // Each town takes 15 bytes at least.
    if (!in.ok() || count > kMaxTowns || count * 15ull > in.remaining())
        return QStringLiteral("the towns file's header is damaged");
    Towns towns;
    towns.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        Town town;
        town.position.latitude = degrees(in.read(4));
        town.position.longitude = degrees(in.read(4));
        town.population = static_cast<std::uint32_t>(in.read(4));
        const char state[2] = {char(in.read(1)), char(in.read(1))};
        const auto length = static_cast<int>(in.read(1));
        QByteArray name;
        for (int c = 0; c < length && in.ok(); ++c)
            name.append(char(in.read(1)));
        if (!in.ok() || std::abs(town.position.latitude) > 90 ||
            std::abs(town.position.longitude) > 180)
            return QStringLiteral("town %1 is damaged").arg(i);
        town.name = QString::fromLatin1(name);
        town.state = QString::fromLatin1(state, 2).trimmed();
        towns.push_back(std::move(town));
    }
    return towns;
}

std::variant<Towns, QString> loadTowns(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    return readTowns(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size())));
}

Towns townsOrNone(const QString& path) {
    auto towns = loadTowns(path);
    if (auto* error = std::get_if<QString>(&towns)) {
        qWarning("nubivista-feed: the pictures name no towns: %s", qPrintable(*error));
        return {};
    }
    return std::get<Towns>(std::move(towns));
}

} // namespace nubivista::feed::picture
