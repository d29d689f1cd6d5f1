// The shell as a user meets it: the first activation, the national map one
// second later, the deferred actions, the tooltips and the menu.
#include "core/app_identity.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

using namespace nubivista;
using nubivista::testing::MainWindowTest;

using ShellTest = MainWindowTest;

TEST_F(ShellTest, FirstActivationClearsTheSlotsSelectsTab1AndShowsTheMapASecondLater) {
    fillSlots(3);
    controls().TabStrip1->setCurrentIndex(2);
    showWindow();
    EXPECT_EQ(loop().filledCount(), 0);
    EXPECT_EQ(controls().TabStrip1->currentIndex(), 0);
    EXPECT_EQ(form().DeferredAction(), core::deferred::ShowNationalMap);
    EXPECT_EQ(form().Timer6()->interval(), 1000);
    const QUrl map(settings.NationalMapUrl.trimmed());
    EXPECT_NE(mapPane()->current, map);
    QTRY_COMPARE_WITH_TIMEOUT(mapPane()->current, map, 3000);
    EXPECT_EQ(form().DeferredAction(), 0);

    // A second activation neither clears the slots nor arms the map again.
    fillSlots(2);
    const auto navigations = mapPane()->navigations.size();
    form().Form_Activate();
    EXPECT_EQ(loop().filledCount(), 2);
    EXPECT_EQ(form().DeferredAction(), 0);
    EXPECT_FALSE(form().Timer6()->isActive());
    EXPECT_EQ(mapPane()->navigations.size(), navigations);
}

TEST_F(ShellTest, EveryControlCarriesItsTooltipUnlessTooltipsAreSwitchedOff) {
    // A sample of the table: buttons (Command7's follows the process: none
    // runs), a text box, a status bar panel, the skip boxes.
    const std::pair<const char*, const char*> table[] = {
        {"Command7", "Restart The Previous, Shut-Down, Auto-Refresh Process"},
        {"Command18", "Start/Stop Loop"},
        {"Text4", "Auto-Refresh Interval (min.)"},
        {"StatusBar1Panel4", "Time (Dbl-Clk On/Off) (Right-Clk Local/UTC)"},
        {"Check4_1", "Check To Skip An Image When Looping"},
        {"Check4_20", "Check To Skip An Image When Looping"},
    };
    showWindow();
    for (const auto& [name, tip] : table) {
        const QWidget* control = child(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->toolTip(), QString::fromLatin1(tip)) << name;
    }
    // Only the first and the last skip box carry one.
    EXPECT_EQ(child("Check4_2")->toolTip(), QString());

    settings.NoToolTips = 1;
    form().F1ToolT();
    for (const auto& [name, tip] : table)
        EXPECT_EQ(child(name)->toolTip(), QString()) << name;
}

TEST_F(ShellTest, DeferredActionsRunOnceAndALaterArmReplacesAnEarlierOne) {
    showWindow();
    int runs = 0;
    form().registerDeferredAction(77, [&runs] { ++runs; });
    form().armDeferredAction(101, 1000);
    form().armDeferredAction(77, 10);
    QTRY_COMPARE(runs, 1);
    EXPECT_EQ(form().DeferredAction(), 0);
    EXPECT_FALSE(form().Timer6()->isActive());
    // The national map was replaced, so the map pane never left its page.
    EXPECT_NE(mapPane()->current, QUrl(settings.NationalMapUrl.trimmed()));
    // A code nobody registered does nothing.
    form().armDeferredAction(55, 1);
    QTRY_COMPARE(form().DeferredAction(), 0);
    EXPECT_EQ(runs, 1);
}

TEST_F(ShellTest, TheMenuHoldsItsItemsInOrderAndOpensTheSmallWindows) {
    showWindow();
    QStringList captions;
    for (const QAction* item : form().mnuPop1()->actions())
        if (!item->isSeparator())
            captions << item->text();
    EXPECT_EQ(captions.join(u'|'),
              QStringLiteral("&Reload Last Current Image Set|&Load A Saved Image Set|"
                             "&Save Current Image Set As|&Delete A Saved Image Set|"
                             "&Export Loop As Animated GIF...|"
                             "&Refresh Manually (next image)|&Replace (refresh) Last Image|"
                             "&Reset Selected Tab As Last Image|&Delete Checked Images (and pack)|"
                             "Status&Bar|&Options >>|&Help >>|&Internet Connection|&Work Offline"));

    form().menuItem(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_TRUE(window->form3().aboutText().contains(QDir::toNativeSeparators(paths.userDir)));

    form().menuItem(QStringLiteral("mnuBugsSuggest"))->trigger();
    EXPECT_TRUE(window->form6().isVisible());
    EXPECT_EQ(window->form6().windowTitle(), QStringLiteral("Suggestions And Bugs"));
    EXPECT_FALSE(window->form6().showOnce());

    form().menuItem(QStringLiteral("mnuHelp"))->trigger();
    form().menuItem(QStringLiteral("mnuHelpUpdates"))->trigger();
    ASSERT_EQ(newWindows.size(), 2);
    EXPECT_EQ(QUrl(newWindows[0]).toLocalFile(), paths.helpPagePath);
    // The updates page says which version this is.
    const QString updates = QUrl(newWindows[1]).toLocalFile();
    EXPECT_TRUE(updates.endsWith(QStringLiteral("/NubivistaUpdates.htm")));
    EXPECT_TRUE(
        QString::fromUtf8(nubivista::testing::readBytes(updates)).contains(core::versionText()))
        << updates.toStdString();
}

TEST_F(ShellTest, CloseSendsBothPanesToTheirLocalPagesHalfASecondApartThenSavesAndUnloads) {
    clock.setAdvancePerRead(25);
    showWindow();
    form().Timer6_Timer();
    QList<std::pair<QUrl, std::int32_t>> visits;
    for (auto* pane : panes)
        QObject::connect(pane, &platform::BrowserPane::beforeNavigate, pane,
                         [&visits, this](const QUrl& address, bool&) {
                             visits.append({address, clock.tickCount()});
                         });
    window->form3().show();
    window->form6().show();
    QFile::remove(paths.iniPath);
    form().close();

    ASSERT_EQ(visits.size(), 2);
    EXPECT_EQ(visits[0].first, paths.startBlank.url);
    EXPECT_EQ(visits[1].first, paths.appClose.url);
    EXPECT_GE(visits[1].second - visits[0].second, 500);
    const QRect corner = controls().Picture4->geometry();
    EXPECT_EQ(imagePane()->geometry().topLeft(), corner.topLeft());
    EXPECT_EQ(mapPane()->geometry().topLeft(), corner.topLeft());
    EXPECT_FALSE(window->panes().mapPaneAside());
    EXPECT_TRUE(QFile::exists(paths.iniPath));
    EXPECT_FALSE(window->form3().isVisible());
    EXPECT_FALSE(window->form6().isVisible());
    EXPECT_EQ(form().unloadOrder(), (QStringList{"Form3", "Form4", "Form6", "Form9"}));
}
