#pragma once
// The main window assembled: the shell, the loop model, the loop display, the
// browser panes and the small windows the menu opens, wired to each other.
#include "acquisition/browser_panes.h"
#include "acquisition/image_companions.h"
#include "acquisition/picture_source_notice.h"
#include "acquisition/platform/internet_service.h"
#include "acquisition/refresh_process.h"
#include "app/overlay_shelf.h"
#include "auxiliary/form3.h"
#include "auxiliary/form6.h"
#include "core/form1.h"
#include "core/preferences.h"
#include "display/loop_display.h"
#include "options/form4.h"
#include "places/places_file.h"
#include "places/places_window.h"
#include "sets/loop_set.h"
#include "sets/set_commands.h"
#include "tracking/alarm_notifier.h"
#include "tracking/form9.h"
#include "tracking/measurement.h"
#include "tracking/warning_alarm.h"

#include <functional>
#include <memory>

namespace nubivista::app {

struct MainWindowServices {
    core::Settings* settings = nullptr;
    core::AppPaths paths;
    core::MessageService* messages = nullptr;
    const core::Clock* clock = nullptr;
    display::DisplayLook look;
    // Makes a browser pane (the real engine, or a fake in tests).
    std::function<platform::BrowserPane*()> makePane;
    // Opens an address in a new browser window (the relay window).
    std::function<void(const QString&)> openInNewWindow;
    // Shows one of the feed's pages in the relay window's own browser window.
    std::function<void(const QString&)> openFeedPage;
    // The Internet layer; a layer that reaches nothing when null.
    platform::InternetService* internet = nullptr;
    // Start-up's OnlineSwitchDone: false when the first national map load is
    // to switch the system back online.
    bool onlineSwitchDone = true;
    // The map pane's own new windows go to the relay window's browser.
    std::function<platform::BrowserPane*()> takeMapPopup;
    // The file dialogs of the set commands; Qt's own dialog when empty.
    sets::SetFileChooser chooseSetFile;
    // The ETA list's save dialog; Qt's own dialog when empty.
    tracking::ListFileChooser chooseListFile;
    // The loop export's save dialog; Qt's own dialog when empty.
    std::function<std::optional<QString>(const QString& folder, const QString& fileName)>
        chooseGifFile;
    // The feed the pictures come from (the caption marks the demo, About names it).
    acquisition::FeedChoice feed;
    // The program's own feed process, when it started one: the national map
    // waits for it.
    acquisition::FeedProcess* feedProcess = nullptr;
};

class MainWindow {
public:
    explicit MainWindow(const MainWindowServices& services);
    ~MainWindow();

    core::Form1& form1() { return *form1_; }
    sets::LoopSet& loop() { return *loop_; }
    display::LoopDisplay& display() { return *display_; }
    acquisition::BrowserPanes& panes() { return *panes_; }
    acquisition::RefreshProcess& refresh() { return *refresh_; }
    auxiliary::Form3& form3() { return *form3_; }
    auxiliary::Form6& form6() { return *form6_; }
    sets::SetCommands& setCommands() { return *setCommands_; }
    tracking::Measurement& measurement() { return *measurement_; }
    tracking::Form9& form9() { return *form9_; }
    options::Form4& form4() { return *form4_; }
    core::Preferences& preferences() { return *preferences_; }
    // The watcher's places: places().places() now, placesChanged() on every change.
    places::PlacesFile& places() { return *places_; }
    places::frmPlaces& placesWindow() { return *frmPlaces_; }
    acquisition::ImageCompanions& imageCompanions() { return *imageCompanions_; }

private:
    acquisition::PaneArea paneArea() const;
    sets::SetCommandPeers setCommandPeers();
    // The auto-refresh process on the display's refresh controls.
    void attachRefreshProcess(const MainWindowServices& services);
    // The view takes the size of slot's picture; Fit fits the window to it.
    void sizeViewToPicture(int slot);
    // A tab's skip box, checked or not, enabled or not.
    void setSkipBox(int tab, bool checked, bool enabled);
    // Storm tracking on the picture view and its list window.
    void attachMeasurement(const MainWindowServices& services);
    tracking::MeasurementView measurementView();
    // The Options window, opened from the menu.
    void attachOptions(const MainWindowServices& services);
    // The Places window, the places' marks on the picture and their pick.
    void attachPlaces(const MainWindowServices& services);
    void showPlaceMarks();
    // A click on the picture while the Places window waits for one.
    void pickPlace(QPointF twipsInPicture);
    // The storm cells kept beside the images, drawn over them, and the
    // approach alarm.
    void attachStorms(const MainWindowServices& services);
    bool menuChecked(const QString& item) const;
    // The shown image's cells and warnings on the view, as the switches are.
    void showOverlay();
    // The time of slot's scan (its stamp without the user's adjustment), UTC.
    QDateTime scanTimeOf(int slot) const;
    void raiseStormAlarms(int slot, const core::Clock& clock);
    void raiseWarningAlarms(int slot, const core::Clock& clock);

    // Declared first so that it outlives the process that uses it.
    std::unique_ptr<platform::InternetService> ownInternet_;
    // The layer as the process uses it: a picture of another feed is told once.
    std::unique_ptr<acquisition::PictureSourceNotice> sourceNotice_;
    std::unique_ptr<core::Form1> form1_;
    std::unique_ptr<sets::LoopSet> loop_;
    display::LoopDisplay* display_ = nullptr;        // owned by form1
    acquisition::BrowserPanes* panes_ = nullptr;     // owned by form1
    acquisition::RefreshProcess* refresh_ = nullptr; // owned by form1
    sets::SetCommands* setCommands_ = nullptr;       // owned by form1
    std::unique_ptr<auxiliary::Form3> form3_;
    std::unique_ptr<auxiliary::Form6> form6_;
    std::unique_ptr<tracking::Form9> form9_;
    std::unique_ptr<tracking::Measurement> measurement_;
    std::unique_ptr<options::Form4> form4_;
    std::unique_ptr<core::Preferences> preferences_;
    std::unique_ptr<places::PlacesFile> places_;
    std::unique_ptr<places::frmPlaces> frmPlaces_; // a tool window of form1
    std::unique_ptr<OverlayShelf> overlayShelf_;
    std::unique_ptr<acquisition::ImageCompanions> imageCompanions_;
    std::unique_ptr<tracking::AlarmNotifier> alarmNotifier_;
    tracking::StormWatch stormWatch_;
    tracking::WarningWatch warningWatch_;
};

} // namespace nubivista::app
