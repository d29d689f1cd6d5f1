#include "acquisition/platform/connection_state.h"

#include <QNetworkInterface>

namespace nubivista::platform {

ConnectionState connectionStateFrom(QNetworkInformation::Reachability reachability, bool pppLinkUp,
                                    bool offlineSwitch) {
    using R = QNetworkInformation::Reachability;
    ConnectionState state;
    // A link that reaches only the local network does not reach the radar server.
    state.connected = !(reachability == R::Disconnected || reachability == R::Local);
    state.modem = pppLinkUp;
    state.offline = offlineSwitch;
    return state;
}

bool pppLinkIsUp() {
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (interface.type() == QNetworkInterface::Ppp && flags.testFlag(QNetworkInterface::IsUp) &&
            flags.testFlag(QNetworkInterface::IsRunning))
            return true;
    }
    return false;
}

} // namespace nubivista::platform
