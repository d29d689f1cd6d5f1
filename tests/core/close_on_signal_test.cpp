#include "core/close_on_signal.h"

#include <QMainWindow>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using nubivista::core::CloseOnSignal;

namespace {

class ClosingWindow : public QMainWindow {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        QMainWindow::closeEvent(event);
    }
};

} // namespace

TEST(CloseOnSignal, ATerminationSignalClosesTheMainWindowTheOrdinaryWay) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ClosingWindow window;
        window.show();
        CloseOnSignal guard(&window);
        ASSERT_EQ(std::raise(signal), 0);
        QTRY_COMPARE_WITH_TIMEOUT(window.closes, 1, 2000);
        EXPECT_FALSE(window.isVisible());
    }
}
