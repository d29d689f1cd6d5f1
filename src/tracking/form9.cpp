#include "tracking/form9.h"

#include <QCloseEvent>

namespace nubivista::tracking {

Form9::Form9(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("ETA List"));
}

void Form9::closeEvent(QCloseEvent* event) {
    // Its rows live as long as the program runs.
    hide();
    event->ignore();
}

} // namespace nubivista::tracking
