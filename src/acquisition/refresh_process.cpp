// The process's wiring: timers, pane events, controls and menu items, and
// what it reads at load.
#include "acquisition/refresh_process.h"

#include "acquisition/count_down.h"
#include "acquisition/stale_image_notice.h"
#include "core/form1.h"
#include "core/press_button.h"
#include "sets/loop_set.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

namespace nubivista::acquisition {

RefreshProcess::RefreshProcess(core::Form1& shell, sets::LoopSet& loop, BrowserPanes& panes,
                               RefreshControls controls, DisplayActions display,
                               RefreshServices services)
    : QObject(&shell),
      shell_(shell),
      loop_(loop),
      panes_(panes),
      c_(controls),
      display_(std::move(display)),
      services_(std::move(services)) {
    state_.OnlineSwitchDone = services_.onlineSwitchDone ? -1 : 0;

    // The design intervals; Timer1's is read at load as the minute length.
    timer1_.setInterval(kLongestMinuteMs);
    timer2_.setInterval(1000);
    timer3_.setInterval(kPollIntervalMs);
    timer5_.setInterval(kBackDateDelayMs);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer2_.setObjectName(QStringLiteral("Timer2"));
    timer3_.setObjectName(QStringLiteral("Timer3"));
    timer5_.setObjectName(QStringLiteral("Timer5"));
    connect(&timer1_, &QTimer::timeout, this, &RefreshProcess::Timer1_Timer);
    connect(&timer2_, &QTimer::timeout, this, &RefreshProcess::Timer2_Timer);
    connect(&timer3_, &QTimer::timeout, this, &RefreshProcess::Timer3_Timer);
    connect(&timer5_, &QTimer::timeout, this, &RefreshProcess::Timer5_Timer);

    // Panel 3 is the stale image's: it gives way to the other panels in a
    // narrow window rather than widen it.
    QLabel* panel3 = shell_.statusPanel(3);
    panel3->setMinimumWidth(1);
    staleNotice_ = new StaleImageNotice(*panel3, internet(), clock(), this);
    connect(&loop_, &sets::LoopSet::imageStored, staleNotice_, &StaleImageNotice::reset);

    connectPanes();
    connectControls();
    attachMenu();
    shell_.addLoadStep([this] { Form_Load(); });
    // A process still running at close stops before the panes are taken
    // down, so that no tick does anything during their waits.
    shell_.addCloseNavigationStep(
        [this] {
            state_.RefreshState = refresh_state::Stopped;
            timer1_.stop();
            timer3_.stop();
            timer5_.stop();
        },
        true);
}

RefreshProcess::~RefreshProcess() = default;

int RefreshProcess::scaled(int ms) const {
    return std::max(1, static_cast<int>(std::lround(ms / timeScale_)));
}

core::Settings& RefreshProcess::settings() {
    return shell_.settings();
}

core::MessageService& RefreshProcess::messages() {
    return shell_.messages();
}

const core::Clock& RefreshProcess::clock() const {
    return shell_.clock();
}

QString RefreshProcess::PaneUrl() const {
    return loop_.model().paneUrl;
}

QString RefreshProcess::imageAddress() const {
    return loop_.model().siteImageUrl;
}

void RefreshProcess::Form_Load() {
    state_.minuteLengthMs = scaled(minuteLengthFrom(timer1_.interval()));
    timer1_.setInterval(state_.minuteLengthMs);
    state_.MinuteStartTick = clock().tickCount();
    for (QWidget* control :
         {static_cast<QWidget*>(c_.Command9), static_cast<QWidget*>(c_.Command20),
          static_cast<QWidget*>(c_.Command21)})
        control->setEnabled(true);
    // A set reloaded at start can be restarted once it is in the shut-down
    // state; until then there is nothing to shut down.
    showStoppedLook();
    c_.Text2->setText(QStringLiteral("%1:00").arg(settings().RefreshIntervalMinutes));
    readOfflineFlag();
    updateClockPanel();
    timer2_.start(scaled(1000));
}

void RefreshProcess::connectControls() {
    connect(c_.Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(c_.Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(c_.Command20, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers) { Command20_MouseDown(button); });
    connect(c_.Command20, &core::PressButton::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers) { Command20_MouseUp(button); });
    connect(c_.Command21, &core::PressButton::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers) { Command21_MouseDown(button); });
    connect(c_.Command21, &core::PressButton::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers) { Command21_MouseUp(button); });

    // The boxes' looks are system colours: they follow a change of them.
    connect(&shell_, &core::Form1::systemColorsChanged, this, [this] {
        const Look look = look_;
        if (look == Look::Stopped) {
            showStoppedLook();
            return;
        }
        showRunningLook();
        if (look == Look::Paused)
            showPausedLook();
    });

    // Right click anywhere on the status bar, double click on the clock.
    shell_.StatusBar1()->installEventFilter(this);
    for (int panel = 1; panel <= core::kStatusBarPanels; ++panel)
        shell_.statusPanel(panel)->installEventFilter(this);
}

void RefreshProcess::attachMenu() {
    shell_.attachMenuItem(QStringLiteral("mnuRefresh"), [this] { mnuRefresh_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuReplace"), [this] { mnuReplace_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuInetConnect"), [this] { mnuInetConnect_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuOffline"), [this] { mnuOffline_Click(); });
    shell_.attachMenuItem(QStringLiteral("mnuIEnetOptions"), [this] { mnuIEnetOptions_Click(); });
    // The feed's status, last after the connection's items.
    auto* feedStatus = new QAction(QStringLiteral("&Feed Status..."), shell_.mnuPop1());
    feedStatus->setObjectName(QStringLiteral("mnuFeedStatus"));
    shell_.mnuPop1()->addAction(feedStatus);
    connect(feedStatus, &QAction::triggered, this, [this] { mnuFeedStatus_Click(); });
    connect(shell_.mnuPop1(), &QMenu::aboutToShow, this, [this] { menuShowing(); });
}

bool RefreshProcess::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            StatusBar1_RightClick();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == shell_.statusPanel(4)) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            StatusBar1_Panel4DoubleClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nubivista::acquisition
