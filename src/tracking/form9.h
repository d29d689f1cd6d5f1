#pragma once
// The ETA list window: a tool window of the main window that collects
// measurement results. Loaded hidden at start; closing it only hides it.
#include <QWidget>

namespace nubivista::tracking {

class Form9 : public QWidget {
    Q_OBJECT
public:
    explicit Form9(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace nubivista::tracking
