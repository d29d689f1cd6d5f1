#pragma once
// The weather service's active alerts (its API's GeoJSON answer), read
// tolerantly: unknown fields are ignored and a missing field stays missing,
// never zero. From them, the storm-based warnings in force: one per VTEC
// event, its newest message, none cancelled or expired.
#include "feed/picture/projection.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace nubivista::feed::nws {

// "/O.CON.KLSX.TO.W.0042.000000T0000Z-211211T0245Z/"
struct Vtec {
    QString action;       // NEW, CON, EXT, CAN, EXP, UPG, ...
    QString office;       // KLSX
    QString phenomenon;   // TO
    QString significance; // W
    int eventNumber = 0;  // 42: the office's count of such events this year
    QDateTime ends;       // invalid for "000000T0000Z"
    // The event's identity across its messages: "KLSX.TO.W.0042".
    QString eventId() const;
};
std::optional<Vtec> parseVtec(const QString& text);

struct StormMotion {
    int fromDeg = 0; // where the storm comes from, degrees clockwise from north
    int speedKt = 0;
};
// "2021-12-11T02:15:00-00:00...storm...247DEG...30KT...38.61,-90.45"
std::optional<StormMotion> parseEventMotion(const QString& text);

struct Warning {
    enum class Message { Alert, Update, Cancel, Other };
    // The VTEC event's identity ("KLSX.TO.W.0042"), or the alert's own id
    // when it carries no VTEC.
    QString id;
    QString event; // "Tornado Warning"
    QString headline;
    Message message = Message::Other;
    std::optional<Vtec> vtec;
    QDateTime sent;    // UTC
    QDateTime expires; // UTC: the event's end when given, else the message's expiry
    std::vector<picture::GeoPoint> polygon; // its ring closes itself; empty for zone alerts
    std::optional<StormMotion> motion;
    std::optional<double> hailIn;
    std::optional<int> windMph;
    std::optional<QString> tornado;      // "RADAR INDICATED", "OBSERVED"
    std::optional<QString> damageThreat; // "CONSIDERABLE", "DESTRUCTIVE", "CATASTROPHIC"
};

// Every alert of the answer, or why it is no answer of alerts.
std::variant<std::vector<Warning>, QString> parseAlerts(const QByteArray& geoJson);

// The storm-based kinds drawn as polygons: tornado, severe thunderstorm,
// flash flood, special marine, extreme wind, snow squall and dust storm.
bool isStormBasedWarning(const QString& event);

// The warnings in force at now: storm-based, with a polygon, each VTEC event
// by its newest message, and none whose newest message cancels or ends it or
// whose time is up. In the order of their newest messages.
std::vector<Warning> warningsInForce(std::vector<Warning> alerts, const QDateTime& now);

} // namespace nubivista::feed::nws
