#pragma once
// The faults a soak injects into the radar simulator, drawn from a seeded
// sequence so that a failing run can be repeated exactly.
#include <QString>
#include <algorithm>
#include <array>
#include <random>
#include <string_view>

namespace nubivista::soak {

struct Fault {
    std::string_view label; // as the summary names it
    std::string_view name;  // the simulator's fault
    bool onMapHost = false; // the national map's own host, not the site's addresses
    bool operator==(const Fault&) const = default;
    QString labelText() const { return QString::fromLatin1(label.data(), qsizetype(label.size())); }
};

inline constexpr Fault kRepublish{"same-size republish", "republish"};
inline constexpr Fault kMapHostUnreachable{"unreachable map host", "close", true};
inline constexpr std::array kAllFaults{
    Fault{"404", "404"},
    Fault{"500", "500"},
    Fault{"hang", "hang"},
    Fault{"truncated body", "truncate"},
    Fault{"corrupt GIF", "corrupt"},
    kRepublish,
    Fault{"CR LF loop list", "crlf"},
    Fault{"closed connection", "close"},
    kMapHostUnreachable,
};

// The simulator's fault query. The faults hit only the weather service's own
// host name, the one the program asks for; the harness asks the simulator by
// its loopback address, so its own look at the true frames is never faulted.
inline QString faultQuery(const Fault& fault, const QString& site) {
    return QStringLiteral("name=%1&match=%2&host=weather.noaa.gov")
        .arg(QLatin1String(fault.name.data(), qsizetype(fault.name.size())),
             fault.onMapHost ? QStringLiteral("national") : site);
}

class FaultPlan {
public:
    // Faults come every minGapFrames to maxGapFrames frames.
    FaultPlan(unsigned seed, int minGapFrames, int maxGapFrames)
        : random_(seed), minGap_(minGapFrames), maxGap_(std::max(minGapFrames, maxGapFrames)) {}

    Fault nextFault() {
        return kAllFaults[std::uniform_int_distribution<std::size_t>(0, kAllFaults.size() -
                                                                            1)(random_)];
    }
    int nextGapFrames() { return std::uniform_int_distribution<int>(minGap_, maxGap_)(random_); }

private:
    std::mt19937 random_;
    int minGap_;
    int maxGap_;
};

} // namespace nubivista::soak
