#pragma once
// The feedback window "Suggestions And Bugs". The main window's menu shows
// it once, not again while it is open.
#include <QWidget>

namespace nubivista::auxiliary {

class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);

    // Shows the window unless it is open already; true when it was shown now.
    bool showOnce();
};

} // namespace nubivista::auxiliary
