#pragma once
// Driving modal windows from inside their own event loop: wait until the named
// window is the active modal one, then act on it. A watchdog hides any modal
// window left open so that a failed step cannot hang the test run.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace nubivista::testing {

inline QWidget* waitForModal(const QString& objectName) {
    QWidget* found = nullptr;
    const bool up = QTest::qWaitFor(
        [&] {
            found = QApplication::activeModalWidget();
            return found && found->isVisible() && found->objectName() == objectName;
        },
        5000);
    return up ? found : nullptr;
}

// Runs action on the modal window named objectName once it is up.
inline void whenModalShown(const QString& objectName, std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, qApp, [objectName, action] {
        if (QWidget* window = waitForModal(objectName))
            action(window);
        else
            ADD_FAILURE() << objectName.toStdString() << " did not come up";
    });
}

inline void whenMessageShown(std::function<void(QWidget*)> action) {
    whenModalShown(QStringLiteral("frmMsgWind"), std::move(action));
}

// While it lives, closes every modal window that comes up; counts them and
// keeps the text of the last message shown.
class ModalCloser {
public:
    ModalCloser() {
        timer_.callOnTimeout([this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            ++count_;
            if (auto* text = modal->findChild<QWidget*>(QStringLiteral("Text1")))
                lastText_ = text->property("plainText").toString();
            modal->close();
        });
        timer_.start(10);
    }
    int count() const { return count_; }
    QString lastText() const { return lastText_; }

private:
    QTimer timer_;
    int count_ = 0;
    QString lastText_;
};

class ModalWatchdog {
public:
    ModalWatchdog() {
        timer_.setInterval(15000);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            while (QWidget* stuck = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a modal window was left open: "
                              << stuck->objectName().toStdString();
                stuck->hide();
            }
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

} // namespace nubivista::testing
