#include "core/close_on_signal.h"

#include <QWidget>
#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace nubivista::core {

namespace {

// The handler may only do async-signal-safe work: it writes one byte into a
// socket that the event loop watches.
std::array<int, 2> signalSocket{-1, -1};
constexpr std::array<int, 3> kHandledSignals{SIGTERM, SIGHUP, SIGINT};
std::array<struct sigaction, 3> previousActions{};

extern "C" void writeSignalByte(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
}

} // namespace

CloseOnSignal::CloseOnSignal(QWidget* window) : window_(window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket.data()) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(signalSocket[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CloseOnSignal::onSignalled);

    struct sigaction action {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kHandledSignals.size(); ++i)
        ::sigaction(kHandledSignals[i], &action, &previousActions[i]);
}

CloseOnSignal::~CloseOnSignal() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < kHandledSignals.size(); ++i)
        ::sigaction(kHandledSignals[i], &previousActions[i], nullptr);
    notifier_.reset();
    ::close(signalSocket[0]);
    ::close(signalSocket[1]);
    signalSocket = {-1, -1};
}

void CloseOnSignal::onSignalled() {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(signalSocket[1], &byte, 1);
    if (window_)
        window_->close();
}

} // namespace nubivista::core
