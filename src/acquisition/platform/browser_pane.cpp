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

} // namespace nubivista::platform
