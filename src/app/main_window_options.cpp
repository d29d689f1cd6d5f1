// The Options window in the assembled main window: opened from the menu,
// unloaded with the other windows at close, and reaching the main window's
// tooltips, stamp panel and boxes, and the ETA list window through its peers.
#include "app/main_window.h"
#include "display/time_stamps.h"

namespace nubivista::app {

void MainWindow::attachOptions(const MainWindowServices& services) {
    options::OptionsPeers peers;
    display::LoopDisplay& d = *display_;
    peers.setToolTips = [this] { form1_->F1ToolT(); };
    peers.showStampPanel = [&d](bool shown) { d.controls().Picture2->setVisible(shown); };
    peers.redoStampBoxes = [&d] { d.stamps().LodTimStmpImg(QString(), 0, true); };
    peers.showListTexts = [this] { form9_->showListTexts(); };
    peers.panelBackColor = [&d] { return d.look().panelBackColor; };
    form4_ = std::make_unique<options::Form4>(*services.settings, *services.messages,
                                              *services.clock, std::move(peers));

    form1_->attachMenuItem(QStringLiteral("mnuOptionsSett"), [this] { form4_->showOptions(); });
    form1_->addWindowToUnload(QStringLiteral("Form4"), form4_.get());
    // The close writes the settings first; the Options window then goes
    // without applying anything.
    form1_->addCloseNavigationStep([this] { form4_->programEnds(); });
    // The display takes the new panel colour first, then an open Options
    // window is coloured with it.
    QObject::connect(form1_.get(), &core::Form1::systemColorsChanged, form4_.get(), [this] {
        if (form4_->OptionsOpen())
            form4_->SissyColors2();
    });
}

} // namespace nubivista::app
