#include "feed/sim/faults.h"

#include <algorithm>
#include <array>
#include <utility>

namespace nubivista::feed::sim {

std::optional<FaultKind> faultKindFromName(const QString& name) {
    static const std::array<std::pair<const char*, FaultKind>, 12> kNames{{
        {"404", FaultKind::NotFound},
        {"500", FaultKind::ServerError},
        {"delay", FaultKind::Delay},
        {"hang", FaultKind::Hang},
        {"truncate", FaultKind::Truncate},
        {"corrupt", FaultKind::Corrupt},
        {"republish", FaultKind::Republish},
        {"crlf", FaultKind::Crlf},
        {"nine-lines", FaultKind::NineLines},
        {"bad-date", FaultKind::BadDate},
        {"close", FaultKind::Close},
        {"no-length", FaultKind::NoLength},
    }};
    for (const auto& [text, kind] : kNames) {
        if (name == QLatin1String(text)) {
            return kind;
        }
    }
    return std::nullopt;
}

void FaultSet::set(const Fault& fault) {
    std::erase_if(m_faults, [&](const Fault& existing) { return existing.kind == fault.kind; });
    m_faults.push_back(fault);
}

std::optional<Fault> FaultSet::find(FaultKind kind, const QString& host,
                                    const QString& path) const {
    for (const Fault& fault : m_faults) {
        if (fault.kind == kind && path.contains(fault.match) &&
            (fault.host.isEmpty() || fault.host == host)) {
            return fault;
        }
    }
    return std::nullopt;
}

} // namespace nubivista::feed::sim
