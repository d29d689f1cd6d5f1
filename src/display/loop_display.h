#pragma once
// The loop display's part of the main window: the controls panel, the tabs
// and skip boxes, the loop animation, stepping, zoom and scrolling, the time
// text and stamp boxes, and the window layout. Each concern is one object
// below; they reach each other through this one.
#include "display/display_controls.h"
#include "display/display_peers.h"

#include <QObject>
#include <memory>

namespace nubivista::core {
class Form1;
struct Settings;
class Clock;
} // namespace nubivista::core

namespace nubivista::sets {
class LoopSet;
}

namespace nubivista::display {

class TabDisplay;
class LoopAnimation;
class ManualStepping;
class ZoomScroll;
class TimeStamps;
class WindowLayout;
class LoopExport;
class PictureKeys;

// Start-up values the layout and colours depend on.
struct DisplayLook {
    double themePad = 0;                                   // ThemePad, twips
    QPalette::ColorRole panelBackColor = QPalette::Button; // PanelBackColor
};

class LoopDisplay : public QObject {
    Q_OBJECT
public:
    LoopDisplay(core::Form1& shell, sets::LoopSet& loop, DisplayLook look = {},
                DisplayPeers peers = {});
    ~LoopDisplay() override;

    core::Form1& shell() { return shell_; }
    sets::LoopSet& loop() { return loop_; }
    core::Settings& settings();
    const core::Clock& clock() const;
    DisplayControls& controls() { return controls_; }
    DisplayPeers& peers() { return peers_; }
    DisplayLook& look() { return look_; }

    TabDisplay& tabs() { return *tabs_; }
    LoopAnimation& animation() { return *animation_; }
    ManualStepping& stepping() { return *stepping_; }
    ZoomScroll& zoom() { return *zoom_; }
    TimeStamps& stamps() { return *stamps_; }
    WindowLayout& layout() { return *layout_; }
    LoopExport& gifExport() { return *export_; }

private:
    // The window load: the controls set from the settings, their click
    // handlers run as if the user had set them.
    void Form_Load();
    // The first activation: slots cleared, tab 1 selected.
    void Form_Activate();
    // The refresh controls' texts and tooltips; their handlers belong to the
    // auto-refresh process, which enables them when it attaches.
    void setUpRefreshControls();
    void loadRefreshControls();

    core::Form1& shell_;
    sets::LoopSet& loop_;
    DisplayLook look_;
    DisplayPeers peers_;
    DisplayControls controls_;
    std::unique_ptr<TabDisplay> tabs_;
    std::unique_ptr<TimeStamps> stamps_;
    std::unique_ptr<ZoomScroll> zoom_;
    std::unique_ptr<LoopAnimation> animation_;
    std::unique_ptr<ManualStepping> stepping_;
    std::unique_ptr<WindowLayout> layout_;
    std::unique_ptr<LoopExport> export_;
    std::unique_ptr<PictureKeys> keys_;
};

} // namespace nubivista::display
