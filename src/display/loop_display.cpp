#include "display/loop_display.h"

#include "core/form1.h"
#include "core/settings.h"
#include "display/loop_animation.h"
#include "display/loop_export.h"
#include "display/manual_stepping.h"
#include "display/picture_keys.h"
#include "display/tab_display.h"
#include "display/time_stamps.h"
#include "display/window_layout.h"
#include "display/zoom_scroll.h"
#include "sets/loop_set.h"

namespace nubivista::display {

LoopDisplay::LoopDisplay(core::Form1& shell, sets::LoopSet& loop, DisplayLook look,
                         DisplayPeers peers)
    : QObject(&shell),
      shell_(shell),
      loop_(loop),
      look_(look),
      peers_(std::move(peers)),
      controls_(buildDisplayControls(shell.clientArea())) {
    tabs_ = std::make_unique<TabDisplay>(*this);
    stamps_ = std::make_unique<TimeStamps>(*this);
    zoom_ = std::make_unique<ZoomScroll>(*this);
    animation_ = std::make_unique<LoopAnimation>(*this);
    stepping_ = std::make_unique<ManualStepping>(*this);
    layout_ = std::make_unique<WindowLayout>(*this);
    export_ = std::make_unique<LoopExport>(*this, peers_.chooseGifFile
                                                      ? GifFileChooser(peers_.chooseGifFile)
                                                      : qtGifFileChooser(&shell_));
    keys_ = std::make_unique<PictureKeys>(*this);

    setUpRefreshControls();
    shell_.addLoadStep([this] { Form_Load(); });
    shell_.addFirstActivationStep([this] { Form_Activate(); });

    // A slot that changed is shown afresh when it is the one on display, and
    // its skip box follows its filled flag.
    connect(&loop_, &sets::LoopSet::slotChanged, this, [this](int slot) {
        tabs_->syncSkipBoxes();
        if (slot == tabs_->shownSlot())
            tabs_->ShowSelectedTab();
    });
    connect(&loop_, &sets::LoopSet::modelReset, this, [this] {
        tabs_->syncSkipBoxes();
        if (tabs_->shownSlot() != 0)
            tabs_->ShowSelectedTab();
    });
}

LoopDisplay::~LoopDisplay() = default;

core::Settings& LoopDisplay::settings() {
    return shell_.settings();
}

const core::Clock& LoopDisplay::clock() const {
    return shell_.clock();
}

void LoopDisplay::Form_Load() {
    tabs_->load();
    zoom_->load();
    animation_->load();
    layout_->load();
    loadRefreshControls();
}

void LoopDisplay::setUpRefreshControls() {
    DisplayControls& c = controls_;
    shell_.registerToolTip(c.Command7, [this] {
        return peers_.refreshRunning && peers_.refreshRunning()
                   ? QStringLiteral("Shut-Down Auto-Refresh Process")
                   : QStringLiteral("Restart The Previous, Shut-Down, Auto-Refresh Process");
    });
    shell_.registerToolTip(c.Command9, QStringLiteral("Pause/Resume Auto-Refreshes"));
    shell_.registerToolTip(c.Command20, QStringLiteral("Decrease Auto-Refresh Interval"));
    shell_.registerToolTip(c.Command21, QStringLiteral("Increase Auto-Refresh Interval"));
    shell_.registerToolTip(
        c.Text2, QStringLiteral("Auto-Refresh Count Down (Minutes:Seconds Till Next Refresh)"));
    shell_.registerToolTip(c.Text4, QStringLiteral("Auto-Refresh Interval (min.)"));
    for (QWidget* control :
         {static_cast<QWidget*>(c.Command7), static_cast<QWidget*>(c.Command9),
          static_cast<QWidget*>(c.Command20), static_cast<QWidget*>(c.Command21)})
        control->setEnabled(false);
}

void LoopDisplay::loadRefreshControls() {
    controls_.Text4->setText(QString::number(settings().RefreshIntervalMinutes));
    controls_.Text2->setText(QString());
}

void LoopDisplay::Form_Activate() {
    loop_.clearAll();
    tabs_->selectTab(1);
}

} // namespace nubivista::display
