#pragma once
// Keeping windows on the screen: a stored position from a larger screen, or
// from a second monitor that is gone, must not put a window out of reach.
#include <QRect>

class QWidget;

namespace nubivista::core {

// The frame moved (and, when larger than the work area, shrunk) so that it
// lies fully inside the work area, moved as little as it can be.
QRect insideWorkArea(const QRect& frame, const QRect& workArea);

// Moves the window so that its frame lies inside the work area of the
// screen under its centre (the primary screen when none is).
void keepInsideWorkArea(QWidget& window);

} // namespace nubivista::core
