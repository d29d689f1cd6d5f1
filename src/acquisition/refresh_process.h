#pragma once
// The auto-refresh process: a click on a radar site of the national map starts
// it, and from then on it keeps the loop filled with the site's newest images
// for as long as the program runs. Timer1 counts the minutes of the refresh
// interval and reloads the image-page pane; the pane's finished load arms
// Timer3, which polls the Internet layer's cache until a new image is there,
// fetches it into the next slot and turns the ring. Timer2 shows the
// count-down, the offline mark, the clock and the notice of a stale image;
// Timer5 starts a back-dated start once the loop page has loaded.
//
// One source file per concern: pane events, starting, the cycle, the
// back-dated start, the connection, and the refresh controls.
#include "acquisition/browser_panes.h"
#include "acquisition/new_image.h"
#include "acquisition/platform/internet_service.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace nubivista::core {
class Form1;
class PressButton;
class Settings;
class MessageService;
} // namespace nubivista::core

namespace nubivista::sets {
class LoopSet;
}

namespace nubivista::acquisition {

class StaleImageNotice;

// RefreshState values.
namespace refresh_state {
inline constexpr std::int16_t Stopped = 0;
inline constexpr std::int16_t Running = 1;
inline constexpr std::int16_t LoopPageLoading = 2;
inline constexpr std::int16_t BackDatedRestart = 3;
} // namespace refresh_state

// Timer3 polls the cache this soon after the pane has loaded, then at the
// poll interval.
inline constexpr int kFirstPollMs = 500;
inline constexpr int kPollIntervalMs = 5000;
// Polls without a new image after which the pane is reloaded.
inline constexpr int kPollsBeforeReload = 15;
// Failed downloads in a row that end the process.
inline constexpr int kDownloadFailuresAllowed = 3;
// Timer5: the wait between the loop page's load and the back-dated start.
inline constexpr int kBackDateDelayMs = 1000;

// The refresh controls and the options the process reads; they sit in the
// display area, which the assembly hands over here.
struct RefreshControls {
    core::PressButton* Command7 = nullptr;  // Shut-Down / Restart
    core::PressButton* Command9 = nullptr;  // pause "ll" / resume "="
    core::PressButton* Command20 = nullptr; // interval down
    core::PressButton* Command21 = nullptr; // interval up
    QLineEdit* Text2 = nullptr;             // count-down
    QLineEdit* Text4 = nullptr;             // interval
    QCheckBox* Check1 = nullptr;            // auto-click the new image's tab
    QCheckBox* Check2 = nullptr;            // Long Range
    QCheckBox* Check3 = nullptr;            // Back-Date
    QComboBox* Combo1 = nullptr;            // radar product
};

// What the process asks of the loop display.
struct DisplayActions {
    std::function<int()> selectedTab;
    std::function<void(int tab)> selectTab;
    std::function<void(int tab, bool checked, bool enabled)> setSkipBox;
    std::function<void()> clearMeasurement;
    // The first image of a process is in slot: the view takes its size, the
    // scroll ranges follow, and the window fits around it when Fit is checked.
    std::function<void(int slot)> firstImageMeasured;
    // The product box shows the product of a restarted process.
    std::function<void(const QString& productCode)> showProduct;
};

// What the process needs from outside the window.
struct RefreshServices {
    platform::InternetService* internet = nullptr;
    // OnlineSwitchDone at start: false when start-up put the system offline
    // and the first national map load is to switch it back online.
    bool onlineSwitchDone = false;
    // Opens an address in a new window (the relay window).
    std::function<void(const QString& address)> openInNewWindow;
    // Shows one of the feed's pages, which only the program's Internet layer
    // reaches, in a window of the relay window's own.
    std::function<void(const QString& address)> openFeedPage;
    // The map pane asks for a new window: the relay window is told to expect
    // it and its browser is returned to load it; null to let the pane decide.
    std::function<platform::BrowserPane*()> takeMapPopup;
};

// The process state kept by the main window. The slot ring, PaneUrl, the
// image address and LastImageTime/LastImageSize live in the loop's model,
// which is saved with the set.
struct ProcessState {
    std::int16_t RefreshState = refresh_state::Stopped;
    QString startAddress;             // the site page the map click built
    std::int32_t MinutesElapsed = 0;  // minutes counted since the last refresh
    std::int64_t MinuteStartTick = 0; // tick count when the current minute began
    std::int16_t NoNewImageCount = 0; // polls in a row without a new image
    std::int16_t DownloadFailureCount = 0;
    std::int16_t newImageFlag = 0;     // 1 after a new image was stored, 0 after Replace
    std::int16_t ForcedShutDown = 0;   // 1: the next Shut-Down asks nothing
    std::int16_t DialUpFlag = 0;       // the last state read showed a modem link
    std::int16_t OfflineFlag = 0;      // -1 while working offline
    std::int16_t OnlineSwitchDone = 0; // 0: switch online after the first map load
    bool backDateCall = false;         // StartAutoRefresh called by the back-dated start
    std::int32_t pausedRemainder = 0;  // ms of the minute left when paused
    bool buttonHeld = false;           // an interval button is pressed
    QString statusText;                // why the current tick failed
    int minuteLengthMs = 60000;        // Timer1's design interval, read at load
};

class RefreshProcess : public QObject {
    Q_OBJECT
public:
    RefreshProcess(core::Form1& shell, sets::LoopSet& loop, BrowserPanes& panes,
                   RefreshControls controls, DisplayActions display, RefreshServices services);
    ~RefreshProcess() override;

    const ProcessState& state() const { return state_; }
    std::int16_t RefreshState() const { return state_.RefreshState; }
    QString PaneUrl() const;
    QString imageAddress() const;

    // Timer1's interval at load is the minute length; a test may shorten it
    // before the window loads.
    QTimer* Timer1() { return &timer1_; }
    QTimer* Timer2() { return &timer2_; }
    QTimer* Timer3() { return &timer3_; }
    QTimer* Timer5() { return &timer5_; }
    // The process's own timers and waits run this many times faster than
    // real time (a soak's accelerated day); 1 otherwise. Set before the
    // window loads; the clock it is given should run as fast.
    void setTimeScale(double factor) { timeScale_ = factor > 0 ? factor : 1.0; }

    // ---- pane events ----
    void WebBrowser1_DownloadComplete();
    void WebBrowser1_DocumentComplete(const QUrl& address);
    void WebBrowser1_NavigateError(const QUrl& address, quint32 statusCode);
    void WebBrowser2_BeforeNavigate2(const QUrl& address, bool& cancel);
    void WebBrowser2_DocumentComplete(const QUrl& address);
    void WebBrowser2_NavigateError(const QUrl& address, quint32 statusCode);

    // ---- starting ----
    void StartAutoRefresh();
    void setStartAddress(const QString& address) { state_.startAddress = address; }

    // ---- the cycle ----
    void RefreshImagePage();
    void Timer1_Timer();
    void Timer3_Timer();
    void mnuRefresh_Click();
    void mnuReplace_Click();

    // ---- back-dated start ----
    void Timer5_Timer();
    void BackDatedStart(const QString& loopPageUrl);

    // ---- connection ----
    void mnuInetConnect_Click();
    // The feed's reason for refusing the process's addresses, as a line to
    // add to a failure's message: "\r\n" + the reason; empty without one.
    QString feedReasonLine();
    void mnuOffline_Click();
    void mnuIEnetOptions_Click();
    // The feed's status page, for the process's site or any other.
    void mnuFeedStatus_Click();
    // The menu is about to show: the Work Offline check follows the state.
    void menuShowing();

    // ---- refresh controls ----
    void Timer2_Timer();
    void Command9_Click();
    void Command20_MouseDown(Qt::MouseButton button);
    void Command20_MouseUp(Qt::MouseButton button);
    void Command21_MouseDown(Qt::MouseButton button);
    void Command21_MouseUp(Qt::MouseButton button);
    void Command7_Click();
    void StatusBar1_RightClick();
    void StatusBar1_Panel4DoubleClick();

    // ---- for the set commands ----
    // Opening or reloading a set: no process, the stopped look.
    void enterShutDownState();
    // Reset: the poll for an image stops.
    void stopImagePolling() { timer3_.stop(); }
    // A set was opened: the minutes counted start again.
    void resetMinutesCounted() { state_.MinutesElapsed = 0; }
    // Command7 offers Shut-Down (a process runs) rather than Restart.
    bool offersShutDown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A design interval of the process at the time scale.
    int scaled(int ms) const;
    core::Settings& settings();
    core::MessageService& messages();
    platform::InternetService& internet() { return *services_.internet; }
    const core::Clock& clock() const;

    void Form_Load();
    void connectPanes();
    void connectControls();
    void attachMenu();

    // Pane events shared by both panes (n is 1 or 2).
    void paneDownloadBegin(platform::BrowserPane* pane);
    void paneDocumentComplete(platform::BrowserPane* pane);
    void paneProgressChange(int paneNumber, int progress, int maximum);
    void paneStatusTextChange(const QString& text);
    void WebBrowser1_NewWindow2(platform::NewWindowRequest& request);
    void WebBrowser2_NewWindow2(platform::NewWindowRequest& request);

    // The message of a navigate error, then the forced shut-down.
    void navigateErrorShutDown();
    // Ends the process without asking, through Command7.
    void forceShutDown();
    // Clears a slot for a new process and selects its tab.
    void clearSlotForStart(int slot, int tabToSelect);
    // A start that ends before its first image: the loop, its tab and the
    // caption are back as they were before it.
    void restoreLoopOfFailedStart();

    // The cycle's steps.
    enum class TickEnd { Done, Failed };
    TickEnd runAutoRefreshStep();
    // A connection for a tick: false when there is none (asked or not).
    enum class TickConnection { Connected, Declined, NotConnected };
    TickConnection connectForTick();
    // Validates and measures the first image of a process in slot; false when
    // it is not a picture (the status text says why).
    bool measureFirstImage(int slot);
    // An image downloaded beside its slot file and moved over it only when it
    // reads as a picture; damaged is set when it did not.
    platform::DownloadResult downloadCheckedImage(const QUrl& image, const QString& slotFile,
                                                  bool* damaged = nullptr);
    // Stores an accepted image and turns the ring; saves when asked.
    void storeAcceptedImage(const AcceptedImageStep& step, bool saveSet);
    void failTick();

    // Back-dated start.
    enum class BackDateEnd { Started, SoftFailure, HardFailure };
    BackDateEnd runBackDatedStart(const QString& loopPageUrl);
    void handOverToLatestPage(const QString& loopPageUrl);
    void backDateHardFailure();

    // Refresh controls.
    void showRunningLook();
    void showPausedLook();
    void showStoppedLook();
    void setBoxBackground(QLineEdit* box, int role);
    bool countDownRunning() const;
    void showCaptionForCommand7(bool shutDown);
    void intervalButtonDown(bool increase);
    void intervalButtonUp(bool decrease);
    void updateClockPanel();
    // Panel 3: how old the newest image is once it is stale, and why.
    void updateStaleImageNotice();
    void restartTimer1();
    bool readOfflineFlag();

    core::Form1& shell_;
    sets::LoopSet& loop_;
    BrowserPanes& panes_;
    RefreshControls c_;
    DisplayActions display_;
    RefreshServices services_;
    ProcessState state_;

    QTimer timer1_;
    QTimer timer2_;
    QTimer timer3_;
    QTimer timer5_;
    StaleImageNotice* staleNotice_ = nullptr; // child of this
    double timeScale_ = 1.0;
    // Guards: a tick or a back-dated start never runs inside itself while one
    // of its messages, dial questions or downloads waits.
    bool inTimer3_ = false;
    bool inBackDate_ = false;
    bool inErrorShutDown_ = false;
    // What the window showed when the held start began.
    int tabBeforeStart_ = 0;
    QString captionBeforeStart_;
    // Which look Text2 and Text4 show (the count-down runs only while running).
    enum class Look { Running, Paused, Stopped };
    Look look_ = Look::Stopped;
};

} // namespace nubivista::acquisition
