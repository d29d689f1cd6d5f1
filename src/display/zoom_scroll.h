#pragma once
// Zoom, scrolling and fit-to-window: the zoom buttons (fine and Ctrl steps,
// repeating while held) keep the view's centre, the scroll bars move the
// picture, and the window can be fitted around the zoomed picture.
#include "display/twips.h"
#include "display/zoom_math.h"

#include <QObject>

namespace nubivista::display {

class LoopDisplay;

class ZoomScroll : public QObject {
    Q_OBJECT
public:
    explicit ZoomScroll(LoopDisplay& display);

    // Window load: Text12 from the zoom factor, the pictures at 9300 x 9300.
    void load();

    // The size of the image at zoom 1, in twips; set when an image is loaded.
    void setNaturalSize(double widthTwips, double heightTwips);
    // The shared geometry of the pictures (left/top <= 0 when scrolled).
    TwipsRect pictureGeometry() const;
    ScrollAllowance allowance() const { return allowance_; }

    void Command50_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command51_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void Command50_MouseUp();
    void Command51_MouseUp();
    void HScroll1_Change();
    void VScroll1_Change();
    void UpdateScrollRanges();
    void SyncScrollBars(bool keepVertical, bool keepHorizontal);
    void FitWindowToImage();
    // Places the bars and the corner box inside the view from the allowances.
    void placeScrollBars();
    void Image2_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          QPointF twipsInMarker);

private:
    void zoomStep(int direction, Qt::MouseButton button);

    LoopDisplay& display_;
    double naturalWidth_ = 9300;
    double naturalHeight_ = 9300;
    ScrollAllowance allowance_;
    bool zoomHeld_ = false;
};

} // namespace nubivista::display
