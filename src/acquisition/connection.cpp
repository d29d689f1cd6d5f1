// The connection: the Internet menu's three items, the Work Offline check
// that follows the layer's offline switch, the dial-up questions, and the
// feed's status page.
#include "acquisition/feed_status.h"
#include "acquisition/process_texts.h"
#include "acquisition/refresh_process.h"
#include "core/form1.h"
#include "core/message_service.h"
#include "radar/addresses.h"

#include <QAction>

namespace nubivista::acquisition {

bool RefreshProcess::readOfflineFlag() {
    const bool offline = internet().workingOffline();
    state_.OfflineFlag = offline ? -1 : 0;
    return offline;
}

void RefreshProcess::mnuInetConnect_Click() {
    const platform::ConnectionState connection = internet().connectionState();
    state_.DialUpFlag = connection.modem ? 1 : 0;
    const auto notConnected = [this, modem = connection.modem](const QString& reason) {
        if (modem || messages().MsgBox(3, dialQuestionText() + reason) == core::MsgYes)
            internet().dial();
    };
    if (!connection.connected) {
        notConnected({});
        return;
    }
    // The system's network says connected; the feed says whether the weather
    // service could be reached when it last asked (a network without a name
    // service, say). Without an answer the system's word stands.
    constexpr int kStatusWaitMs = 3000;
    internet().fetchFresh(
        feedPageAddress(PaneUrl(), QLatin1String(kFeedStatusJsonPath)), kStatusWaitMs, this,
        [this, notConnected](std::optional<QByteArray> status) {
            const std::optional<QString> unreachable =
                status ? weatherServiceUnreachable(*status) : std::nullopt;
            if (unreachable)
                notConnected(QStringLiteral("\n") + *unreachable);
            else
                messages().MsgBox(1, QStringLiteral("You Are CONNECTED To The Internet"));
        });
}

QString RefreshProcess::feedReasonLine() {
    QStringList addresses{PaneUrl(), imageAddress(), state_.startAddress};
    if (const std::optional<QString> list = radar::LoopListUrl(state_.startAddress))
        addresses.append(*list);
    for (const QString& address : addresses) {
        if (address.isEmpty())
            continue;
        if (const QString reason = internet().feedReason(QUrl(address)); !reason.isEmpty())
            return QStringLiteral("\r\n") + reason;
    }
    return {};
}

void RefreshProcess::mnuOffline_Click() {
    // A switch that fails leaves the flag as it was.
    if (state_.OfflineFlag == 0)
        state_.OfflineFlag = internet().goOffline() ? -1 : 0;
    else if (internet().goOnline())
        state_.OfflineFlag = 0;
    if (QAction* item = shell_.menuItem(QStringLiteral("mnuOffline")))
        item->setChecked(state_.OfflineFlag != 0);
}

void RefreshProcess::mnuIEnetOptions_Click() {
    if (internet().showOptionsDialog(&shell_))
        return;
    messages().ShowMsgWind(1,
                           QStringLiteral("\r\n\r\nError Launching Internet Options Window.\r\n"
                                          "Alternatively, You Can Use Microsoft Windows Control "
                                          "Panel > Internet Options"),
                           0);
}

void RefreshProcess::mnuFeedStatus_Click() {
    if (services_.openFeedPage)
        services_.openFeedPage(
            feedPageAddress(PaneUrl(), QLatin1String(kFeedStatusPagePath)).toString());
}

void RefreshProcess::menuShowing() {
    const bool offline = readOfflineFlag();
    if (QAction* item = shell_.menuItem(QStringLiteral("mnuOffline")))
        item->setChecked(offline);
}

} // namespace nubivista::acquisition
