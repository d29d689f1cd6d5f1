// The message window as a user meets it (buttons, captions and focus of every
// kind, Esc and the close box, the box that switches a message off) and
// ShowMsgWind as callers rely on it (the standard box while a message is up).
#include "core/message_service.h"
#include "core/message_window.h"
#include "modal_helpers.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <memory>

using namespace nubivista::core;
using namespace nubivista::testing;

namespace {

const QString kAllOn(100, u'0');
const char* const kButtons[] = {"Command1", "Command2", "Command3"};

void click(QWidget* window, const char* buttonName) {
    QPushButton* button = window->findChild<QPushButton*>(QString::fromLatin1(buttonName));
    ASSERT_NE(button, nullptr) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

void checkTheBox(QWidget* window) {
    auto* box = window->findChild<QCheckBox*>(QStringLiteral("Check1"));
    // On the indicator: the label does not fill the whole row.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_TRUE(box->isChecked());
}

class MessageWindowTest : public ::testing::Test {
protected:
    QString map_ = kAllOn;
    MessageService service_{map_};
    ModalWatchdog watchdog_;
};

TEST_F(MessageWindowTest, EachKindShowsItsButtonsWithTheFocusAndEachButtonGivesItsAnswer) {
    struct Case {
        int kind;
        std::array<const char*, 3> captions; // "" = hidden
        int focused;                         // 0-based button
        std::array<int, 3> results;          // per button; 0 where hidden
    };
    // Even kinds also show the box that switches the message off.
    const Case cases[] = {
        {1, {"", "Okay", ""}, 1, {0, 1, 0}},        {2, {"", "Okay", ""}, 1, {0, 1, 0}},
        {3, {"Yes", "", "No"}, 2, {6, 0, 7}},       {4, {"Yes", "", "No"}, 2, {6, 0, 7}},
        {5, {"Yes", "Cancel", "No"}, 1, {6, 2, 7}}, {6, {"Yes", "Cancel", "No"}, 1, {6, 2, 7}},
        {7, {"Okay", "", "Cancel"}, 2, {1, 0, 2}},  {8, {"Okay", "", "Cancel"}, 2, {1, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        whenMessageShown([&](QWidget* window) {
            for (int i = 0; i < 3; ++i) {
                auto* button = window->findChild<QPushButton*>(QString::fromLatin1(kButtons[i]));
                EXPECT_EQ(button->isVisible() ? button->text() : QString(),
                          QString::fromLatin1(c.captions[i]));
            }
            EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("Check1"))->isVisible(),
                      c.kind % 2 == 0);
            ASSERT_NE(window->focusWidget(), nullptr);
            EXPECT_EQ(window->focusWidget()->objectName(),
                      QString::fromLatin1(kButtons[c.focused]));
            QTest::keyClick(window->focusWidget(), Qt::Key_Return); // presses the focused one
        });
        EXPECT_EQ(service_.ShowMsgWind(c.kind, QStringLiteral("A question"), 0),
                  c.results[c.focused]);
        for (int i = 0; i < 3; ++i) {
            if (c.results[i] == 0 || i == c.focused)
                continue;
            whenMessageShown([&](QWidget* window) { click(window, kButtons[i]); });
            EXPECT_EQ(service_.ShowMsgWind(c.kind, QStringLiteral("Pick"), 0), c.results[i]);
            EXPECT_EQ(service_.state().MsgKind, 0) << "the window is closed after " << kButtons[i];
        }
    }
}

TEST_F(MessageWindowTest, EscAndTheCloseBox) {
    enum How { Esc, CloseBox };
    struct Case {
        int kind;
        How how;
        int result; // 0: the close is refused
    };
    const Case cases[] = {{1, Esc, 1},      {2, Esc, 1},      {4, Esc, 2},      {5, Esc, 2},
                          {8, Esc, 2},      {1, CloseBox, 1}, {2, CloseBox, 1}, {3, CloseBox, 0},
                          {4, CloseBox, 0}, {5, CloseBox, 2}, {6, CloseBox, 2}, {7, CloseBox, 2}};
    for (const Case& c : cases) {
        whenMessageShown([&c](QWidget* window) {
            if (c.how == Esc) {
                QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
                return;
            }
            EXPECT_EQ(window->close(), c.result != 0);
            if (c.result == 0) { // a plain question must be answered Yes or No
                EXPECT_TRUE(window->isVisible());
                click(window, "Command1");
            }
        });
        EXPECT_EQ(service_.ShowMsgWind(c.kind, QStringLiteral("Closing"), 0),
                  c.result == 0 ? 6 : c.result)
            << "kind " << c.kind << (c.how == Esc ? " Esc" : " close box");
        EXPECT_EQ(service_.state().MsgKind, 0);
    }
}

TEST_F(MessageWindowTest, TheCheckedBoxSwitchesOffJustThatMessage) {
    struct Case {
        int kind;
        int id;
        bool check;
        const char* button;
        int switchedOff; // 0: the map stays as it is
    };
    const Case cases[] = {{4, 14, true, "Command1", 14}, {8, 100, true, "Command3", 100},
                          {8, 8, false, "Command1", 0},  {4, 0, true, "Command1", 0},
                          {4, 101, true, "Command1", 0}, {4, -3, true, "Command1", 0},
                          {2, 0, true, "Command2", 0}};
    for (const Case& c : cases) {
        map_ = kAllOn;
        whenMessageShown([&c](QWidget* window) {
            if (c.check)
                checkTheBox(window);
            click(window, c.button);
        });
        service_.ShowMsgWind(c.kind, QStringLiteral("Go on?"), c.id);
        QString expected = kAllOn;
        if (c.switchedOff)
            expected[c.switchedOff - 1] = u'1';
        EXPECT_EQ(map_, expected) << "kind " << c.kind << " id " << c.id;
        EXPECT_EQ(service_.isSuppressed(c.id), c.switchedOff != 0) << c.id;
    }
}

// A timer that fires while a message is up asks its own question: it gets a
// standard box and its own answer; the message window underneath keeps its state.
TEST_F(MessageWindowTest, AMessageWhileOneIsUpGetsAStandardBox) {
    struct Case {
        int kind;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton pressed;
        int answer;
    };
    using B = QMessageBox;
    const Case cases[] = {{3, B::Yes | B::No, B::No, 7},
                          {6, B::Yes | B::No | B::Cancel, B::Yes, 6},
                          {12, {}, B::NoButton, 0}};
    for (const Case& c : cases) {
        int timerAnswer = -1;
        whenMessageShown([&](QWidget* window) {
            if (c.kind <= 8)
                whenModalShown(QStringLiteral("msgFallbackBox"), [&](QWidget* modal) {
                    auto* box = qobject_cast<QMessageBox*>(modal);
                    EXPECT_EQ(box->windowTitle(), QStringLiteral("Nubivista"));
                    EXPECT_EQ(box->text(), QStringLiteral("\nTick says\nhello"));
                    EXPECT_EQ(box->standardButtons(), c.buttons);
                    EXPECT_EQ(service_.state().MsgText, QStringLiteral("Outer"));
                    QTest::mouseClick(box->button(c.pressed), Qt::LeftButton);
                });
            timerAnswer = service_.ShowMsgWind(c.kind, QStringLiteral("\r\nTick says\r\nhello"), 0);
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(service_.state().MsgResult, 0);
            click(window, "Command1");
        });
        EXPECT_EQ(service_.ShowMsgWind(4, QStringLiteral("Outer"), 4), 6);
        EXPECT_EQ(timerAnswer, c.answer) << "kind " << c.kind;
        EXPECT_EQ(map_, kAllOn);
    }
}

TEST_F(MessageWindowTest, AWindowLostWithItsParentStillEndsTheMessage) {
    auto mainWindow = std::make_unique<QWidget>();
    service_.setParentWindow(mainWindow.get());
    whenMessageShown([&](QWidget*) { mainWindow.reset(); });
    EXPECT_EQ(service_.ShowMsgWind(4, QStringLiteral("Parent goes"), 4), 2);
    // The next message gets the program's own window again, not the standard box.
    whenMessageShown([](QWidget* window) { click(window, "Command2"); });
    EXPECT_EQ(service_.ShowMsgWind(1, QStringLiteral("Still here"), 0), 1);
}

TEST_F(MessageWindowTest, KindOutsideTheTableShowsNothingAndAnswersZero) {
    for (int kind : {0, -1, 9}) {
        EXPECT_EQ(service_.ShowMsgWind(kind, QStringLiteral("Nothing"), 3), 0) << kind;
        EXPECT_EQ(service_.MsgBox(kind, QStringLiteral("Nothing")), MsgNone) << kind;
    }
    // The standard box takes the same kinds, the last one included.
    QList<int> asked;
    service_.setAnswerer([&asked](int kind, const QString&, int) {
        asked << kind;
        return int(MsgOkay);
    });
    for (const int kind : {1, 8})
        EXPECT_EQ(service_.MsgBox(kind, QStringLiteral("Told")), MsgOkay) << kind;
    EXPECT_EQ(asked, (QList<int>{1, 8}));
}

} // namespace
