#include "display/zoom_scroll.h"

#include "display/loop_display.h"

namespace nubivista::display {

ZoomScroll::ZoomScroll(LoopDisplay& display) : display_(display) {}
void ZoomScroll::load() {}
void ZoomScroll::setNaturalSize(double w, double h) {
    naturalWidth_ = w;
    naturalHeight_ = h;
}
TwipsRect ZoomScroll::pictureGeometry() const {
    return {0, 0, naturalWidth_, naturalHeight_};
}
void ZoomScroll::Command50_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers) {}
void ZoomScroll::Command51_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers) {}
void ZoomScroll::Command50_MouseUp() {}
void ZoomScroll::Command51_MouseUp() {}
void ZoomScroll::HScroll1_Change() {}
void ZoomScroll::VScroll1_Change() {}
void ZoomScroll::UpdateScrollRanges() {}
void ZoomScroll::SyncScrollBars(bool, bool) {}
void ZoomScroll::FitWindowToImage() {}
void ZoomScroll::placeScrollBars() {}
void ZoomScroll::Image2_MouseDown(int, Qt::MouseButton, Qt::KeyboardModifiers, QPointF) {}

} // namespace nubivista::display
