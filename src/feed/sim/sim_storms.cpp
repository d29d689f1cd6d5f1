#include "feed/sim/sim_storms.h"

#include "feed/picture/frame_geometry.h"
#include "feed/server/answers.h"
#include "feed/sim/storm_model.h"
#include "radar/products.h"
#include "radar/site_table.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace nubivista::feed::sim {

namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;
// An asked scan time finds the frame within a volume scan's time of it.
constexpr qint64 kVolumeSeconds = 6 * 60;
constexpr int kFramesHeld = 10;
constexpr std::array<int, 4> kForecastMinutes{15, 30, 45, 60};
constexpr std::array<int, 4> kPastMinutes{5, 10, 15, 20}; // newest first
constexpr double kVortexDbz = 65.0;
constexpr double kHailDbz = 55.0;

struct Offset {
    double east = 0.0;
    double north = 0.0;
};

// The one motion of every cell of a site.
struct Motion {
    Offset perHour; // miles travelled in an hour
    double fromDegrees = 0.0;
    double speedKt = 0.0;
};

struct ServedCell {
    std::size_t index = 0; // in the model, so the id stays with the cell
    Offset at;
    double peakDbz = 0.0; // whole dBZ, as served
};

Motion motionOf(const StormModel& model) {
    const double heading = model.headingDegrees();
    return {{model.speedMph() * std::sin(heading * kDegrees),
             model.speedMph() * std::cos(heading * kDegrees)},
            std::fmod(heading + 180.0, 360.0),
            std::round(model.speedMph() / kMilesPerNauticalMile * 10.0) / 10.0};
}

Offset travelled(const Offset& from, const Offset& perHour, int minutes) {
    return {from.east + perHour.east * minutes / 60.0, from.north + perHour.north * minutes / 60.0};
}

bool onLongRangeMap(const Offset& at) {
    const QPointF pixel = picture::milesToPixel(at.east, at.north, true);
    return pixel.x() >= 0 && pixel.x() < picture::kImageWidth && pixel.y() >= picture::kMapTop &&
           pixel.y() < picture::kMapBottom;
}

// "A0" .. "Z0", then "A1" ..
QString cellId(std::size_t index) {
    return QChar(QLatin1Char(static_cast<char>('A' + index % 26))) + QString::number(index / 26);
}

void putLatLon(QJsonObject& object, const Site& site, const Offset& at) {
    const GeoPoint where = offsetToLatLon(site, at.east, at.north);
    object[QStringLiteral("lat")] = std::round(where.latitude * 1e4) / 1e4;
    object[QStringLiteral("lon")] = std::round(where.longitude * 1e4) / 1e4;
}

// The radar's own figures: whole degrees and whole nautical miles.
void putAzimuthRange(QJsonObject& object, const Offset& at) {
    double azimuth = std::atan2(at.east, at.north) / kDegrees;
    if (azimuth < 0.0)
        azimuth += 360.0;
    object[QStringLiteral("azimuthDeg")] = static_cast<int>(std::lround(azimuth) % 360);
    object[QStringLiteral("rangeNm")] =
        static_cast<int>(std::lround(std::hypot(at.east, at.north) / kMilesPerNauticalMile));
}

// Hail grows with the echo: none under 55 dBZ, then likelier, more often
// severe and larger with every few dBZ.
QJsonValue hailJson(double peakDbz) {
    if (peakDbz < kHailDbz)
        return QJsonValue::Null;
    const double excess = peakDbz - kHailDbz;
    QJsonObject hail;
    hail[QStringLiteral("probability")] = std::min(100, 30 + 10 * static_cast<int>(excess));
    hail[QStringLiteral("severeProbability")] =
        std::clamp(10 * static_cast<int>(excess - 3.0), 0, 100);
    hail[QStringLiteral("maxSizeIn")] = 0.5 + 0.25 * std::floor(excess / 3.0);
    return hail;
}

QJsonObject cellJson(const Site& site, const ServedCell& cell, const Motion& motion) {
    QJsonObject object;
    object[QStringLiteral("id")] = cellId(cell.index);
    putAzimuthRange(object, cell.at);
    putLatLon(object, site, cell.at);
    object[QStringLiteral("movementFromDeg")] = motion.fromDegrees;
    object[QStringLiteral("speedKt")] = motion.speedKt;
    // A straight line along the motion: the model's wrap at its edges is no
    // motion of a storm.
    QJsonArray forecast;
    for (const int minutes : kForecastMinutes) {
        const Offset ahead = travelled(cell.at, motion.perHour, minutes);
        QJsonObject point;
        point[QStringLiteral("minutes")] = minutes;
        putAzimuthRange(point, ahead);
        putLatLon(point, site, ahead);
        forecast.append(point);
    }
    object[QStringLiteral("forecast")] = forecast;
    QJsonArray past;
    for (const int minutes : kPastMinutes) {
        QJsonObject point;
        putLatLon(point, site, travelled(cell.at, motion.perHour, -minutes));
        past.append(point);
    }
    object[QStringLiteral("past")] = past;
    object[QStringLiteral("errorNm")] = 1.0;
    object[QStringLiteral("meanErrorNm")] = 1.5;
    object[QStringLiteral("maxDbz")] = cell.peakDbz;
    object[QStringLiteral("maxDbzHeightKft")] = QJsonValue::Null;
    object[QStringLiteral("hail")] = hailJson(cell.peakDbz);
    return object;
}

// The time of the held frame nearest the asked time, if one is within a
// volume's time of it.
std::optional<qint64> heldFrame(const QString& asked, const SimClock& clock) {
    const QDateTime time = QDateTime::fromString(asked, Qt::ISODate);
    if (!time.isValid())
        return std::nullopt;
    const qint64 seconds = time.toSecsSinceEpoch();
    const qint64 newest = clock.newestFrameIndex();
    std::optional<qint64> nearest;
    qint64 best = kVolumeSeconds + 1;
    for (qint64 index = newest; index > newest - kFramesHeld; --index) {
        const qint64 apart = std::abs(clock.frameSeconds(index) - seconds);
        if (apart < best) {
            best = apart;
            nearest = clock.frameSeconds(index);
        }
    }
    return nearest;
}

} // namespace

QByteArray stormCellsJson(const Site& site, qint64 scanSeconds) {
    const StormModel model(site.code);
    const Motion motion = motionOf(model);
    const std::vector<CellState> states = model.cellsAt(scanSeconds);
    std::vector<ServedCell> served;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const Offset at{states[i].eastMiles, states[i].northMiles};
        if (onLongRangeMap(at))
            served.push_back({i, at, std::round(states[i].peakDbz)});
    }
    const auto strongest =
        std::max_element(served.begin(), served.end(),
                         [](const auto& a, const auto& b) { return a.peakDbz < b.peakDbz; });
    const auto vortex = std::find_if(served.begin(), served.end(),
                                     [](const auto& cell) { return cell.peakDbz >= kVortexDbz; });
    // The strongest cell turns; the first very strong one has a vortex too.
    QJsonArray cells;
    for (auto cell = served.begin(); cell != served.end(); ++cell) {
        QJsonObject object = cellJson(site, *cell, motion);
        object[QStringLiteral("mesocyclone")] = cell == strongest;
        object[QStringLiteral("tvs")] = cell == vortex;
        cells.append(object);
    }
    QJsonObject root;
    root[QStringLiteral("site")] = site.code;
    root[QStringLiteral("scanTime")] =
        QDateTime::fromSecsSinceEpoch(scanSeconds, Qt::UTC).toString(Qt::ISODate);
    root[QStringLiteral("cells")] = cells;
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool isStormsPath(const QString& path) {
    return path.startsWith(QLatin1String("/storms/"));
}

server::Reply stormsReply(const server::RequestInfo& request, const SimClock& clock) {
    static const QRegularExpression form(QStringLiteral("^/storms/([a-z0-9]{4})\\.json$"));
    const QRegularExpressionMatch match = form.match(request.path);
    const radar::SiteRow* row = match.hasMatch() ? radar::FindSite(match.captured(1)) : nullptr;
    const std::optional<Site> site = row ? findSite(match.captured(1)) : std::nullopt;
    if (!site)
        return server::errorReply(404, QStringLiteral("the feed has no page at this address"));
    const radar::RadarProductCode& tracking = radar::StormProductCodes[0];
    if (tracking.sourcesFor(row->type).empty())
        return server::errorReply(404, QStringLiteral("%1 publishes no %2 product")
                                           .arg(site->code.toUpper(), tracking.productName()));
    qint64 scanSeconds = clock.frameSeconds(clock.newestFrameIndex());
    const QString asked = request.query.queryItemValue(QStringLiteral("scan"));
    if (!asked.isEmpty()) {
        const std::optional<qint64> held = heldFrame(asked, clock);
        if (!held)
            return server::errorReply(
                404, QStringLiteral("the feed holds no storm scan of %1").arg(asked));
        scanSeconds = *held;
    }
    server::Reply reply;
    reply.body = stormCellsJson(*site, scanSeconds);
    return server::resourceReply(request, std::move(reply), "application/json", scanSeconds,
                                 clock.realSecondsToNextFrame(), clock.nowSeconds());
}

} // namespace nubivista::feed::sim
