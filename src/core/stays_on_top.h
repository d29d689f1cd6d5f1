#pragma once
// Keeping a window above the others, or letting it go back among them.
#include <QWidget>

namespace nubivista::core {

inline void setStaysOnTop(QWidget& window, bool onTop) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing a flag hides a shown window; it comes back where it was.
    if (wasVisible)
        window.show();
}

} // namespace nubivista::core
