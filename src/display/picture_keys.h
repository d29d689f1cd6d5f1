#pragma once
// The keyboard on the picture: Left and Right step as the step buttons do,
// space runs or stops the loop, + and - zoom as the zoom buttons do, Home and
// End show the oldest and the newest image. A key given to a text box stays
// the text box's.
#include <QObject>

class QShortcut;
class QWidget;

namespace nubivista::display {

class LoopDisplay;

class PictureKeys : public QObject {
    Q_OBJECT
public:
    explicit PictureKeys(LoopDisplay& display);

private:
    // A press and release of the button, as a quick click makes them: a
    // disabled button (the step buttons while the loop runs) does nothing.
    void click(QWidget* button);
    // The first (or, with newest, the last) tab that holds an image.
    void showEnd(bool newest);
    bool textBoxHasFocus() const;

    LoopDisplay& display_;
};

} // namespace nubivista::display
