#include "display/zoom_scroll.h"

#include "core/form1.h"
#include "core/hold_repeat.h"
#include "core/on_screen.h"
#include "core/window_placement.h"
#include "display/layout_rules.h"
#include "display/loop_display.h"
#include "display/tab_display.h"
#include "display/window_layout.h"
#include "sets/loop_set.h"

#include <QEvent>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

namespace nubivista::display {

namespace {

constexpr double kLoadPictureSize = 9300;
// An arrow click moves the picture by this many pixels.
constexpr int kScrollArrowStepPx = 16;

} // namespace

ZoomScroll::ZoomScroll(LoopDisplay& display) : display_(display) {
    DisplayControls& c = display_.controls();
    connect(c.Command50, &core::PressButton::mouseDown, this, &ZoomScroll::Command50_MouseDown);
    connect(c.Command51, &core::PressButton::mouseDown, this, &ZoomScroll::Command51_MouseDown);
    connect(c.Command50, &core::PressButton::mouseUp, this, &ZoomScroll::Command50_MouseUp);
    connect(c.Command51, &core::PressButton::mouseUp, this, &ZoomScroll::Command51_MouseUp);
    connect(c.HScroll1, &QScrollBar::valueChanged, this, &ZoomScroll::HScroll1_Change);
    connect(c.VScroll1, &QScrollBar::valueChanged, this, &ZoomScroll::VScroll1_Change);
    connect(c.Image1, &RadarView::pictureMouseDown, this, &ZoomScroll::Image1_MouseDown);
    for (int i = 1; i <= 3; ++i)
        connect(c.Image1->marker(i), &MarkerWidget::mouseDown, this, &ZoomScroll::Image2_MouseDown);
    // The picture view fills the view box; the bars lie over it.
    c.Picture4->installEventFilter(this);
    c.Image1->setGeometry(c.Picture4->rect());
    c.HScroll1->setSingleStep(kScrollArrowStepPx);
    c.VScroll1->setSingleStep(kScrollArrowStepPx);

    core::Form1& shell = display_.shell();
    shell.registerToolTip(c.Command50, QStringLiteral("Zoom Image Smaller .1x (w/Ctrl Key 1x)"));
    shell.registerToolTip(c.Command51, QStringLiteral("Zoom Image Larger .1x (w/Ctrl Key 1x)"));
    shell.registerToolTip(c.Text12, QStringLiteral("Zoom Factor"));
}

void ZoomScroll::load() {
    display_.controls().Text12->setText(zoomFactorText(display_.settings().ZoomFactor));
    naturalWidth_ = kLoadPictureSize;
    naturalHeight_ = kLoadPictureSize;
    setPictureGeometry({0, 0, kLoadPictureSize, kLoadPictureSize});
}

void ZoomScroll::setNaturalSize(double widthTwips, double heightTwips) {
    naturalWidth_ = widthTwips;
    naturalHeight_ = heightTwips;
    const double factor = display_.settings().ZoomFactor;
    TwipsRect g = pictureGeometry();
    g.width = factor * naturalWidth_;
    g.height = factor * naturalHeight_;
    setPictureGeometry(g);
}

TwipsRect ZoomScroll::pictureGeometry() const {
    return display_.controls().Image1->pictureGeometry();
}

void ZoomScroll::setPictureGeometry(const TwipsRect& geometry) {
    display_.controls().Image1->setPictureGeometry(geometry);
}

TwipsSize ZoomScroll::viewSize() const {
    const QWidget* view = display_.controls().Picture4;
    return {toTwips(view->width()), toTwips(view->height())};
}

bool ZoomScroll::eventFilter(QObject* watched, QEvent* event) {
    DisplayControls& c = display_.controls();
    if (watched == c.Picture4 && event->type() == QEvent::Resize)
        c.Image1->setGeometry(c.Picture4->rect());
    return QObject::eventFilter(watched, event);
}

// ---- zoom buttons ----

void ZoomScroll::Command50_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    zoomButtonDown(ZoomDirection::Smaller, button, modifiers);
}

void ZoomScroll::Command51_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    zoomButtonDown(ZoomDirection::Larger, button, modifiers);
}

void ZoomScroll::Command50_MouseUp() {
    zoomHeld_ = false;
}

void ZoomScroll::Command51_MouseUp() {
    zoomHeld_ = false;
}

void ZoomScroll::zoomButtonDown(ZoomDirection direction, Qt::MouseButton button,
                                Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    // The marks belong to the old scale.
    display_.tabs().ClearMeasurement();
    zoomHeld_ = true;
    const int shift = core::shiftState(modifiers);
    core::HoldRepeat(
        this, display_.clock(), [this] { return zoomHeld_; },
        [this, direction, shift] { zoomStep(direction, shift); });
}

void ZoomScroll::zoomStep(ZoomDirection direction, int shiftState) {
    DisplayControls& c = display_.controls();
    core::Settings& settings = display_.settings();
    const float factor = nextZoomFactor(settings.ZoomFactor, direction, shiftState);
    settings.ZoomFactor = factor;
    c.Text12->setText(zoomFactorText(factor));
    const double zoomedWidth = factor * naturalWidth_;
    const double zoomedHeight = factor * naturalHeight_;

    // Where the view's centre must go, worked out with the allowances the
    // picture had before the step.
    const TwipsRect old = pictureGeometry();
    const TwipsSize view = viewSize();
    const CentredOffset h =
        centredOffset(view.width, allowance_.horizontal, old.width, old.left, zoomedWidth);
    const CentredOffset v =
        centredOffset(view.height, allowance_.vertical, old.height, old.top, zoomedHeight);

    updateRanges(zoomedWidth, zoomedHeight);
    SyncScrollBars(v.offset > 0, h.offset > 0);
    // The bars' change handlers stay quiet while the button is held, so the
    // picture moves once, below.
    if (const auto value = barValueAfterZoom(h, c.HScroll1->maximum(), old.width))
        c.HScroll1->setValue(*value);
    if (const auto value = barValueAfterZoom(v, c.VScroll1->maximum(), old.height))
        c.VScroll1->setValue(*value);
    setPictureGeometry(
        {-toTwips(c.HScroll1->value()), -toTwips(c.VScroll1->value()), zoomedWidth, zoomedHeight});

    if (c.Check5->isChecked())
        FitWindowToImage();
    // A window that cannot be resized (maximized, or at the screen's size)
    // still needs its bars where the new allowances put them.
    placeScrollBars();
}

// ---- scroll bars ----

void ZoomScroll::HScroll1_Change() {
    scrollBarChanged(false);
}

void ZoomScroll::VScroll1_Change() {
    scrollBarChanged(true);
}

void ZoomScroll::scrollBarChanged(bool vertical) {
    const double overflow = vertical ? allowance_.vOverflow : allowance_.hOverflow;
    if (zoomHeld_ || overflow == 0)
        return;
    const DisplayControls& c = display_.controls();
    const int value = (vertical ? c.VScroll1 : c.HScroll1)->value();
    const double edge = value == 0 ? 0 : -toTwips(value);
    TwipsRect g = pictureGeometry();
    double& moved = vertical ? g.top : g.left;
    // Setting a bar to where the picture already is changes nothing, and
    // keeps the measurement marks.
    if (moved != edge) {
        display_.tabs().ClearMeasurement();
        moved = edge;
        setPictureGeometry(g);
    }
}

void ZoomScroll::updateRanges(double pictureWidth, double pictureHeight) {
    const TwipsSize view = viewSize();
    allowance_ = scrollAllowance(pictureWidth, pictureHeight, view.width, view.height);
    DisplayControls& c = display_.controls();
    c.HScroll1->setEnabled(allowance_.hOverflow > 0);
    c.VScroll1->setEnabled(allowance_.vOverflow > 0);
}

void ZoomScroll::UpdateScrollRanges() {
    const TwipsRect g = pictureGeometry();
    updateRanges(g.width, g.height);
}

void ZoomScroll::syncBar(QScrollBar* bar, bool keep, double overflow, bool vertical) {
    bar->setEnabled(false);
    const TwipsRect g = pictureGeometry();
    const double edge = vertical ? g.top : g.left;
    if (!keep)
        bar->setValue(toPixels(-edge));
    if (overflow <= 0) {
        if (!keep && edge != 0) {
            TwipsRect moved = g;
            (vertical ? moved.top : moved.left) = 0;
            setPictureGeometry(moved);
        }
        // No stale range on a bar that has nothing to scroll.
        bar->setRange(0, 0);
        return;
    }
    const TwipsSize view = viewSize();
    const double visible =
        vertical ? view.height - allowance_.horizontal : view.width - allowance_.vertical;
    bar->setPageStep(std::max(1, toPixels(visible)));
    bar->setMaximum(toPixels(overflow));
    bar->setEnabled(true);
}

void ZoomScroll::SyncScrollBars(bool keepVertical, bool keepHorizontal) {
    DisplayControls& c = display_.controls();
    syncBar(c.VScroll1, keepVertical, allowance_.vOverflow, true);
    syncBar(c.HScroll1, keepHorizontal, allowance_.hOverflow, false);
}

void ZoomScroll::placeScrollBars() {
    DisplayControls& c = display_.controls();
    const TwipsSize view = viewSize();
    const TwipsRect g = pictureGeometry();
    allowance_ = scrollAllowance(g.width, g.height, view.width, view.height);
    const ScrollBarPlacement p = scrollBarPlacement(view.width, view.height, allowance_);
    c.VScroll1->setGeometry(toPixels(p.vertical));
    c.HScroll1->setGeometry(toPixels(p.horizontal));
    c.Picture5->setGeometry(toPixels(p.corner));
}

// ---- fit to window ----

void ZoomScroll::FitWindowToImage() {
    core::Form1& window = display_.shell();
    const Qt::WindowStates state = window.windowState();
    if (state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const TwipsRect g = pictureGeometry();
    const WindowLayout& layout = display_.layout();
    const TwipsSize inner =
        fittedInnerSize(g.width, g.height, layout.panelAllowance(), layout.statusBarAllowance());
    // A narrow picture still gets a window whose tab row shows every control.
    const double width =
        std::max(inner.width, fullTabRowInnerWidth(display_.settings().HideStampBox != 0));
    QSize wanted(toPixels(width), toPixels(inner.height));
    if (const QScreen* screen = window.screen()) {
        const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
        const QSize room = screen->availableGeometry().size() - frameExtra;
        wanted = fitWithBars(wanted, room, toPixels(kScrollBarAllowance));
    }
    if (wanted != window.size())
        window.resize(wanted);
    // A window grown to the work area's size must also stand inside it, or
    // its bottom rows and bars would lie below the screen.
    core::keepInsideWorkArea(window);
}

void ZoomScroll::startFitting() {
    const core::Form1& window = display_.shell();
    if (window.windowState() == Qt::WindowNoState && window.isVisible())
        sizeBeforeFit_ = window.size();
    FitWindowToImage();
}

void ZoomScroll::stopFitting() {
    core::Form1& window = display_.shell();
    if (window.windowState() != Qt::WindowNoState)
        return;
    QSize wanted = sizeBeforeFit_;
    if (wanted.isEmpty()) {
        const QScreen* screen = window.screen();
        if (screen == nullptr)
            return;
        const core::WindowPlacement standard =
            core::defaultPlacement(core::placementFromPixels(screen->availableGeometry()));
        wanted = core::placementToPixels(standard).size();
    }
    sizeBeforeFit_ = {};
    if (wanted != window.size())
        window.resize(wanted);
}

// ---- clicks on the picture and the markers ----

int ZoomScroll::filledSelectedSlot() {
    const sets::LoopSet& loop = display_.loop();
    const int slot = loop.slotForTab(display_.tabs().selectedTab());
    return loop.filled(slot) ? slot : 0;
}

void ZoomScroll::Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                  QPointF twipsInPicture) {
    if (button == Qt::RightButton) {
        display_.tabs().ClearMeasurement();
        return;
    }
    if (button != Qt::LeftButton || !display_.peers().measurementClick)
        return;
    if (const int slot = filledSelectedSlot())
        display_.peers().measurementClick(slot, button, modifiers, twipsInPicture);
}

void ZoomScroll::Image2_MouseDown(int index, Qt::MouseButton button,
                                  Qt::KeyboardModifiers modifiers, QPointF twipsInMarker) {
    if (button == Qt::RightButton) {
        display_.tabs().ClearMeasurement();
        return;
    }
    if (button != Qt::LeftButton || !display_.peers().measurementClick)
        return;
    const MarkerWidget* marker = display_.controls().Image1->marker(index);
    const int slot = filledSelectedSlot();
    if (marker == nullptr || slot == 0)
        return;
    // The marker sits in the view; the measurement wants the point on the picture.
    const TwipsRect g = pictureGeometry();
    const QPointF inPicture(toTwips(marker->x()) + twipsInMarker.x() - g.left,
                            toTwips(marker->y()) + twipsInMarker.y() - g.top);
    display_.peers().measurementClick(slot, button, modifiers, inPicture);
}

} // namespace nubivista::display
