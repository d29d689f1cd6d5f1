#pragma once
// A logout or a kill sends the program SIGTERM, SIGHUP or SIGINT. Instead of
// dying with the settings unwritten, the program closes its main window the
// ordinary way, which stores the placement and the settings.
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <memory>

class QWidget;

namespace nubivista::core {

class CloseOnSignal : public QObject {
    Q_OBJECT
public:
    // Closes window when one of the signals arrives; at most one object at a
    // time may exist. The previous signal handlers are restored on destruction.
    explicit CloseOnSignal(QWidget* window);
    ~CloseOnSignal() override;

    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

private:
    void onSignalled();

    QPointer<QWidget> window_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace nubivista::core
