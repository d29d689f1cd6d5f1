#include "acquisition/platform/connection_state.h"

#include <QNetworkInterface>

namespace nubivista::platform {

ConnectionState connectionStateFrom(QNetworkInformation::Reachability reachability, bool pppLinkUp,
                                    bool offlineSwitch) {
    using R = QNetworkInformation::Reachability;
    ConnectionState state;
    // A link to the local network counts: the radar server or the proxy to it
    // may be there, and only a try can tell.
    state.connected = reachability != R::Disconnected;
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
