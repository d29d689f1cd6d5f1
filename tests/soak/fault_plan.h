#pragma once
// The faults a soak injects into the radar simulator, drawn from a seeded
// sequence so that a failing run can be repeated exactly.
#include <QString>
#include <array>
#include <random>

namespace nubivista::soak {

enum class Fault {
    NotFound,
    ServerError,
    Hang,
    Truncate,
    Corrupt,
    Republish,
    CrlfList,
    ClosedConnection,
    MapHostUnreachable,
};
inline constexpr std::array kAllFaults{
    Fault::NotFound, Fault::ServerError,      Fault::Hang,
    Fault::Truncate, Fault::Corrupt,          Fault::Republish,
    Fault::CrlfList, Fault::ClosedConnection, Fault::MapHostUnreachable,
};

// How the summary names the fault.
QString faultLabel(Fault fault);

// The simulator's fault query. The faults hit only the weather service's own
// host name, the one the program asks for; the harness asks the simulator by
// its loopback address, so its own look at the true frames is never faulted.
QString faultQuery(Fault fault, const QString& site);

class FaultPlan {
public:
    // Faults come every minGapFrames to maxGapFrames frames.
    FaultPlan(unsigned seed, int minGapFrames, int maxGapFrames);

    Fault nextFault();
    int nextGapFrames();

private:
    std::mt19937 random_;
    int minGap_;
    int maxGap_;
};

} // namespace nubivista::soak
