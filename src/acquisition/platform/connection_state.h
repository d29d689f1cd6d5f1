#pragma once
// What the program learns when it reads the connection state: connected or
// not, over a modem (an up PPP link) or not, and whether the Internet layer's
// own offline switch is on.
#include <QNetworkInformation>

namespace nubivista::platform {

struct ConnectionState {
    static constexpr int ModemFlag = 0x01;
    static constexpr int OfflineFlag = 0x20;

    bool connected = true;
    bool modem = false;
    bool offline = false;

    // The flag word the callers test: 0x01 modem, 0x20 working offline.
    int flags() const { return (modem ? ModemFlag : 0) | (offline ? OfflineFlag : 0); }
};

// Reachability Unknown counts as connected: a machine whose network backend
// cannot tell must still be able to work.
ConnectionState connectionStateFrom(QNetworkInformation::Reachability reachability, bool pppLinkUp,
                                    bool offlineSwitch);

// True when an interface of PPP type is up and running.
bool pppLinkIsUp();

} // namespace nubivista::platform
