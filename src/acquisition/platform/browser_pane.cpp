#include "acquisition/platform/browser_pane.h"

namespace nubivista::platform {

void BrowserPane::setPlacementTwips(const PlacementTwips& placement) {
    setGeometry(placement.left / TwipsPerPixel, placement.top / TwipsPerPixel,
                placement.width / TwipsPerPixel, placement.height / TwipsPerPixel);
}

PlacementTwips BrowserPane::placementTwips() const {
    const QRect g = geometry();
    return {g.x() * TwipsPerPixel, g.y() * TwipsPerPixel, g.width() * TwipsPerPixel,
            g.height() * TwipsPerPixel};
}

void BrowserPane::keepFromUser() {
    // A disabled widget passes nothing of the user's to its children, the
    // engine's own view included; the policies cover what a child might
    // still offer.
    setEnabled(false);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setFocusPolicy(Qt::NoFocus);
        child->setContextMenuPolicy(Qt::NoContextMenu);
    }
}

} // namespace nubivista::platform
