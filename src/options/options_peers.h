#pragma once
// What the Options window asks of the main window and its other windows,
// filled in by the assembly. An empty function means that part is not
// attached; the window then does without it.
#include <QPalette>
#include <functional>

namespace nubivista::options {

struct OptionsPeers {
    // F1ToolT: set all the main window's tooltips, or clear them all when
    // NoToolTips is on.
    std::function<void()> setToolTips;
    // The main window's time-stamp panel Picture2, shown or hidden at once.
    std::function<void(bool shown)> showStampPanel;
    // All 20 time-stamp boxes painted again from their slots.
    std::function<void()> redoStampBoxes;
    // The ETA list window (loaded if need be) takes its caption and second
    // column header from PopupLists.
    std::function<void()> showListTexts;
    // PanelBackColor: the system colour the panels are painted in.
    std::function<QPalette::ColorRole()> panelBackColor;
};

} // namespace nubivista::options
