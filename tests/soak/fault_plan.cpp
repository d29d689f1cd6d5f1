#include "soak/fault_plan.h"

#include <algorithm>

namespace nubivista::soak {

namespace {
constexpr char kServiceHost[] = "weather.noaa.gov";
}

QString faultLabel(Fault fault) {
    switch (fault) {
    case Fault::NotFound:
        return QStringLiteral("404");
    case Fault::ServerError:
        return QStringLiteral("500");
    case Fault::Hang:
        return QStringLiteral("hang");
    case Fault::Truncate:
        return QStringLiteral("truncated body");
    case Fault::Corrupt:
        return QStringLiteral("corrupt GIF");
    case Fault::Republish:
        return QStringLiteral("same-size republish");
    case Fault::CrlfList:
        return QStringLiteral("CR LF loop list");
    case Fault::ClosedConnection:
        return QStringLiteral("closed connection");
    case Fault::MapHostUnreachable:
        return QStringLiteral("unreachable map host");
    }
    return QStringLiteral("?");
}

QString faultQuery(Fault fault, const QString& site) {
    const QString onSite = QStringLiteral("&match=%1&host=%2").arg(site, kServiceHost);
    switch (fault) {
    case Fault::NotFound:
        return QStringLiteral("name=404") + onSite;
    case Fault::ServerError:
        return QStringLiteral("name=500") + onSite;
    case Fault::Hang:
        return QStringLiteral("name=hang") + onSite;
    case Fault::Truncate:
        return QStringLiteral("name=truncate") + onSite;
    case Fault::Corrupt:
        return QStringLiteral("name=corrupt") + onSite;
    case Fault::Republish:
        return QStringLiteral("name=republish") + onSite;
    case Fault::CrlfList:
        return QStringLiteral("name=crlf") + onSite;
    case Fault::ClosedConnection:
        return QStringLiteral("name=close") + onSite;
    case Fault::MapHostUnreachable:
        // The national map's own host; the regional ones still answer.
        return QStringLiteral("name=close&match=national&host=%1").arg(kServiceHost);
    }
    return {};
}

FaultPlan::FaultPlan(unsigned seed, int minGapFrames, int maxGapFrames)
    : random_(seed), minGap_(minGapFrames), maxGap_(std::max(minGapFrames, maxGapFrames)) {}

Fault FaultPlan::nextFault() {
    std::uniform_int_distribution<std::size_t> pick(0, kAllFaults.size() - 1);
    return kAllFaults[pick(random_)];
}

int FaultPlan::nextGapFrames() {
    std::uniform_int_distribution<int> gap(minGap_, maxGap_);
    return gap(random_);
}

} // namespace nubivista::soak
