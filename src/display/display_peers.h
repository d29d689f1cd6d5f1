#pragma once
// What the loop display asks of the other subsystems, filled in by the
// assembly. An empty function means that subsystem is not attached; the
// display then does without it.
#include "display/picture_overlay.h"

#include <QPointF>
#include <QString>
#include <functional>
#include <optional>

namespace nubivista::display {

struct DisplayPeers {
    // Command1: show the selector map pane or set it aside.
    std::function<void()> toggleMapPane;
    // The layout moved the display area: place the map pane again.
    std::function<void()> placeMapPane;
    // Command3, before the popup opens: refresh the Work Offline check mark.
    std::function<void()> refreshOfflineCheck;
    // ClearMeasurement: reset the measurement state (StartX = -1 and the rest).
    std::function<void()> resetMeasurementState;
    // Whether an auto-refresh process runs (the Shut-Down/Restart tooltip).
    std::function<bool()> refreshRunning;
    // A left-button press on the picture of a filled slot, in twips of the
    // picture (a press on a marker arrives here translated to the picture).
    std::function<void(int slot, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                       QPointF twipsInPicture)>
        measurementClick;
    // What is drawn over a slot's picture (the storm cells of its scan and
    // the places); nothing when empty. The view takes the storm cells, the
    // export the whole overlay.
    OverlayOfSlot overlayOf;
    // The export's save dialog: the chosen path from a folder and a suggested
    // name, nothing when cancelled. Qt's own dialog when empty.
    std::function<std::optional<QString>(const QString& folder, const QString& fileName)>
        chooseGifFile;
};

} // namespace nubivista::display
