#include "core/on_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace nubivista::core {

QRect insideWorkArea(const QRect& frame, const QRect& workArea) {
    if (workArea.isEmpty())
        return frame;
    QRect r(frame.topLeft(), frame.size().boundedTo(workArea.size()));
    r.moveLeft(std::clamp(r.left(), workArea.left(), workArea.right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), workArea.top(), workArea.bottom() - r.height() + 1));
    return r;
}

void keepInsideWorkArea(QWidget& window) {
    if (window.isMaximized() || window.isFullScreen() || window.isMinimized())
        return;
    const QRect inner = window.geometry();
    const QScreen* screen = QGuiApplication::screenAt(inner.center());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    // Before its first showing a window has no frame yet; its title bar will
    // still need room above it.
    QMargins frame(inner.left() - window.frameGeometry().left(),
                   inner.top() - window.frameGeometry().top(),
                   window.frameGeometry().right() - inner.right(),
                   window.frameGeometry().bottom() - inner.bottom());
    if (frame.isNull())
        frame.setTop(window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window));
    const QRect placed = insideWorkArea(inner + frame, screen->availableGeometry()) - frame;
    // The inner geometry, not move(): a window's frame position is not
    // always known to it yet.
    if (placed != inner)
        window.setGeometry(placed);
}

} // namespace nubivista::core
