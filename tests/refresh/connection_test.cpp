// The connection in the assembled window: the Internet menu's items, the Work
// Offline check and the caption's working-offline mark.
#include "refresh_fixture.h"

#include <QAction>
#include <QMenu>

using namespace nubivista;
using nubivista::testing::RefreshTest;

namespace {

class ConnectionTest : public RefreshTest {
protected:
    QAction* item(const char* name) { return form().menuItem(QString::fromLatin1(name)); }
};

TEST_F(ConnectionTest, WorkOfflineFollowsTheSwitchAndKeepsTheFlagWhenItFails) {
    QAction* offline = item("mnuOffline");
    ASSERT_NE(offline, nullptr);
    offline->trigger();
    EXPECT_TRUE(net.state.offline);
    EXPECT_TRUE(offline->isChecked());
    offline->trigger();
    EXPECT_FALSE(net.state.offline);
    EXPECT_FALSE(offline->isChecked());

    net.goOfflineResult = false;
    offline->trigger();
    EXPECT_FALSE(offline->isChecked());
    EXPECT_EQ(state().OfflineFlag, 0);

    net.goOfflineResult = true;
    offline->trigger();
    net.goOnlineResult = false;
    offline->trigger();
    EXPECT_TRUE(offline->isChecked());
    EXPECT_EQ(state().OfflineFlag, -1);

    // The menu shows the layer's state as it is now.
    net.state.offline = false;
    emit form().mnuPop1()->aboutToShow();
    EXPECT_FALSE(offline->isChecked());
}

TEST_F(ConnectionTest, InternetOptionsThatCannotOpenSayWhy) {
    item("mnuIEnetOptions")->trigger();
    EXPECT_EQ(net.optionsDialogCalls, 1);
    EXPECT_TRUE(shown.isEmpty());
    net.optionsDialogResult = false;
    item("mnuIEnetOptions")->trigger();
    EXPECT_EQ(texts(),
              QStringList{QStringLiteral(
                  "\r\n\r\nError Launching Internet Options Window.\r\nAlternatively, You Can Use "
                  "Microsoft Windows Control Panel > Internet Options")});
}

} // namespace
