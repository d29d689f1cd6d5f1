#pragma once
// Zoom, scrolling and fit-to-window: the zoom buttons (fine and Ctrl steps,
// repeating while held) keep the view's centre, the scroll bars move the
// picture, and the window can be fitted around the zoomed picture.
#include "display/twips.h"
#include "display/zoom_math.h"

#include <QObject>
#include <QPointF>
#include <QSize>

class QScrollBar;

namespace nubivista::display {

class LoopDisplay;

class ZoomScroll : public QObject {
    Q_OBJECT
public:
    explicit ZoomScroll(LoopDisplay& display);

    // Window load: Text12 from the zoom factor, the pictures at 9300 x 9300.
    void load();

    // The size of the image at zoom 1, in twips; set when an image is loaded.
    // The pictures take the zoom factor times that size, where they are.
    void setNaturalSize(double widthTwips, double heightTwips);
    // The shared geometry of the pictures (left/top <= 0 when scrolled).
    TwipsRect pictureGeometry() const;
    ScrollAllowance allowance() const { return allowance_; }
    bool zoomHeld() const { return zoomHeld_; }

    void Command50_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command51_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command50_MouseUp();
    void Command51_MouseUp();
    void HScroll1_Change();
    void VScroll1_Change();
    void UpdateScrollRanges();
    void SyncScrollBars(bool keepVertical, bool keepHorizontal);
    void FitWindowToImage();
    // Fit checked: the window's normal size is remembered, then fitted.
    // Fit unchecked: that size comes back (the default size when Fit was on
    // from the start), so that the window does not stay small.
    void startFitting();
    void stopFitting();
    // Recomputes the allowances for the view's present size and places the
    // bars and the corner box inside the view from them.
    void placeScrollBars();
    void Image2_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          QPointF twipsInMarker);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollBarChanged(bool vertical);
    void zoomButtonDown(ZoomDirection direction, Qt::MouseButton button,
                        Qt::KeyboardModifiers modifiers);
    void zoomStep(ZoomDirection direction, int shiftState);
    void Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          QPointF twipsInPicture);
    // The slot of the selected tab when it holds an image, else 0.
    int filledSelectedSlot();
    void setPictureGeometry(const TwipsRect& geometry);
    // The view's inner size in twips.
    TwipsSize viewSize() const;
    // Allowances and overflows for a picture of this size; bars without
    // overflow disabled, the others enabled.
    void updateRanges(double pictureWidth, double pictureHeight);
    void syncBar(QScrollBar* bar, bool keep, double overflow, bool vertical);

    LoopDisplay& display_;
    double naturalWidth_ = 9300;
    double naturalHeight_ = 9300;
    ScrollAllowance allowance_;
    bool zoomHeld_ = false;
    QSize sizeBeforeFit_; // pixels; empty when Fit was on from the start
};

} // namespace nubivista::display
