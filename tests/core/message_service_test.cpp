// ShowMsgWind as callers rely on it: the switched-off map, kinds that show nothing,
// and the standard box that answers while a message window is already up.
#include "core/message_service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using nubivista::core::isSuppressedIn;
using nubivista::core::MessageService;
using nubivista::core::suppressIn;
using nubivista::core::withPlainLineBreaks;

namespace {

const QString kAllOn = QString(100, QLatin1Char('0'));

// Runs action on the topmost modal window named objectName once it is up.
void whenModalShown(const QString& objectName, std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, qApp, [objectName, action] {
        QWidget* found = nullptr;
        const bool up = QTest::qWaitFor(
            [&] {
                found = QApplication::activeModalWidget();
                return found && found->isVisible() && found->objectName() == objectName;
            },
            5000);
        if (!up) {
            ADD_FAILURE() << objectName.toStdString() << " did not come up";
            return;
        }
        action(found);
    });
}

class MessageServiceTest : public ::testing::Test {
protected:
    MessageServiceTest() {
        // A failed step must not leave a modal window waiting forever.
        watchdog_.setInterval(15000);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            while (QWidget* stuck = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a modal window was left open: "
                              << stuck->objectName().toStdString();
                stuck->hide();
            }
        });
        watchdog_.start();
    }

    QString map_ = kAllOn;
    MessageService service_{map_};
    QTimer watchdog_;
};

TEST(MsgOffMap, OnlyCharactersOtherThanZeroSwitchAMessageOff) {
    QString map = kAllOn;
    map[0] = QLatin1Char('1');
    map[6] = QLatin1Char('x'); // a damaged character counts as switched off
    map[99] = QLatin1Char('1');
    const std::pair<int, bool> cases[] = {{1, true},   {2, false},   {7, true},  {8, false},
                                          {100, true}, {101, false}, {0, false}, {-1, false}};
    for (const auto& [id, suppressed] : cases)
        EXPECT_EQ(isSuppressedIn(map, id), suppressed) << id;
    EXPECT_FALSE(isSuppressedIn(QString(), 1));
    EXPECT_FALSE(isSuppressedIn(QStringLiteral("1"), 2));
}

TEST(MsgOffMap, SuppressingWritesOneCharacterAndNeverOutsideTheMap) {
    QString map = kAllOn;
    for (int id : {0, -5, 101, 1000})
        suppressIn(map, id);
    EXPECT_EQ(map, kAllOn);
    suppressIn(map, 1);
    suppressIn(map, 100);
    EXPECT_EQ(map.size(), 100);
    EXPECT_EQ(map.count(QLatin1Char('1')), 2);
    EXPECT_EQ(map.front(), QLatin1Char('1'));
    EXPECT_EQ(map.back(), QLatin1Char('1'));
}

TEST(MessageText, CrLfBreaksBecomePlainLineBreaks) {
    EXPECT_EQ(withPlainLineBreaks(QStringLiteral("\r\nA\r\nB\rC\nD")),
              QStringLiteral("\nA\nB\nC\nD"));
}

TEST_F(MessageServiceTest, KindOutsideTheTableShowsNothingAndAnswersZero) {
    for (int kind : {0, -1, 9, 100}) {
        EXPECT_EQ(service_.ShowMsgWind(kind, QStringLiteral("Nothing"), 3), 0) << kind;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(service_.state().MsgKind, 0);
    }
}

TEST_F(MessageServiceTest, HoldsTheMessageWhileItIsShown) {
    whenModalShown(QStringLiteral("frmMsgWind"), [this](QWidget* window) {
        EXPECT_EQ(service_.state().MsgKind, 6);
        EXPECT_EQ(service_.state().MsgText, QStringLiteral("Shown"));
        EXPECT_EQ(service_.state().MsgId, 9);
        EXPECT_EQ(service_.state().MsgResult, 0);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command3")),
                          Qt::LeftButton);
    });
    EXPECT_EQ(service_.ShowMsgWind(6, QStringLiteral("Shown"), 9), 7);
    EXPECT_EQ(service_.state().MsgKind, 0);
    EXPECT_EQ(service_.state().MsgResult, 7);
}

struct FallbackCase {
    int kind;
    QMessageBox::StandardButtons buttons;
};

void PrintTo(const FallbackCase& c, std::ostream* os) {
    *os << "kind " << c.kind;
}

const FallbackCase kFallbacks[] = {
    {1, QMessageBox::Ok},
    {2, QMessageBox::Ok},
    {3, QMessageBox::Yes | QMessageBox::No},
    {4, QMessageBox::Yes | QMessageBox::No},
    {5, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
    {6, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
    {7, QMessageBox::Ok | QMessageBox::Cancel},
    {8, QMessageBox::Ok | QMessageBox::Cancel},
};

int codeOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return 1;
    case QMessageBox::Cancel:
        return 2;
    case QMessageBox::Yes:
        return 6;
    case QMessageBox::No:
        return 7;
    default:
        return -1;
    }
}

class MessageFallback : public MessageServiceTest,
                        public ::testing::WithParamInterface<FallbackCase> {};

// A timer that fires while a message is up asks its own question: it gets a standard
// box, its own answer, and the message window underneath keeps its state and answer.
TEST_P(MessageFallback, TimerMessageGetsAStandardBoxAndLeavesTheOpenWindowAlone) {
    const FallbackCase& fallback = GetParam();
    for (QMessageBox::StandardButton pressed :
         {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No}) {
        if (!fallback.buttons.testFlag(pressed))
            continue;
        int timerAnswer = -1;
        whenModalShown(QStringLiteral("frmMsgWind"), [&](QWidget* window) {
            QTimer tick;
            tick.setSingleShot(true);
            QObject::connect(&tick, &QTimer::timeout, [&] {
                whenModalShown(QStringLiteral("msgFallbackBox"), [&](QWidget* modal) {
                    auto* box = qobject_cast<QMessageBox*>(modal);
                    ASSERT_NE(box, nullptr);
                    EXPECT_EQ(box->windowTitle(), QStringLiteral("Nubivista"));
                    EXPECT_EQ(box->text(), QStringLiteral("\nTick says\nhello"));
                    EXPECT_EQ(box->standardButtons(), fallback.buttons);
                    EXPECT_EQ(service_.state().MsgKind, 4);
                    EXPECT_EQ(service_.state().MsgText, QStringLiteral("Outer"));
                    QTest::mouseClick(box->button(pressed), Qt::LeftButton);
                });
                timerAnswer = service_.ShowMsgWind(fallback.kind,
                                                   QStringLiteral("\r\nTick says\r\nhello"), 0);
            });
            tick.start(5);
            EXPECT_TRUE(QTest::qWaitFor([&] { return timerAnswer != -1; }, 5000));
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(service_.state().MsgResult, 0);
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        EXPECT_EQ(service_.ShowMsgWind(4, QStringLiteral("Outer"), 4), 6);
        EXPECT_EQ(timerAnswer, codeOf(pressed));
        EXPECT_EQ(service_.state().MsgKind, 0);
        EXPECT_EQ(map_, kAllOn);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, MessageFallback, ::testing::ValuesIn(kFallbacks),
                         [](const auto& info) { return "Kind" + std::to_string(info.param.kind); });

TEST_F(MessageServiceTest, FallbackForAKindOutsideTheTableShowsNothing) {
    int answer = -1;
    bool otherModal = false;
    whenModalShown(QStringLiteral("frmMsgWind"), [&](QWidget* window) {
        answer = service_.ShowMsgWind(12, QStringLiteral("Odd"), 0);
        otherModal = QApplication::activeModalWidget() != window;
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(service_.ShowMsgWind(5, QStringLiteral("Outer"), 0), 2);
    EXPECT_EQ(answer, 0);
    EXPECT_FALSE(otherModal);
}

TEST_F(MessageServiceTest, WindowLostWithItsParentStillEndsTheMessage) {
    auto mainWindow = std::make_unique<QWidget>();
    service_.setParentWindow(mainWindow.get());
    whenModalShown(QStringLiteral("frmMsgWind"), [&](QWidget*) { mainWindow.reset(); });
    EXPECT_EQ(service_.ShowMsgWind(4, QStringLiteral("Parent goes"), 4), 2);
    EXPECT_EQ(service_.state().MsgKind, 0);

    // The next message gets the program's own window again, not the standard box.
    whenModalShown(QStringLiteral("frmMsgWind"), [](QWidget* window) {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    });
    EXPECT_EQ(service_.ShowMsgWind(1, QStringLiteral("Still here"), 0), 1);
}

} // namespace
