// The message window as a user meets it: buttons and captions of every kind, the
// focused button, Esc and the close box, and the box that switches a message off.
#include "core/message_service.h"
#include "core/message_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

using nubivista::core::MessageService;
using nubivista::core::msgWindowCaption;

namespace {

const QString kAllOn = QString(100, QLatin1Char('0'));

QWidget* waitForModal(const QString& objectName) {
    QWidget* found = nullptr;
    const bool up = QTest::qWaitFor(
        [&] {
            found = QApplication::activeModalWidget();
            return found && found->isVisible() && found->objectName() == objectName;
        },
        5000);
    return up ? found : nullptr;
}

// Runs action on the message window from inside its modal loop, once it is up.
void whenMessageShown(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, qApp, [action] {
        QWidget* window = waitForModal(QStringLiteral("frmMsgWind"));
        if (!window) {
            ADD_FAILURE() << "the message window did not come up";
            return;
        }
        action(window);
    });
}

template <typename T> T* child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

void click(QWidget* window, const char* buttonName) {
    QPushButton* button = child<QPushButton>(window, buttonName);
    ASSERT_NE(button, nullptr) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

void checkTheBox(QWidget* window) {
    QCheckBox* box = child<QCheckBox>(window, "Check1");
    ASSERT_NE(box, nullptr);
    // On the indicator: the label does not fill the whole row.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_TRUE(box->isChecked());
}

class MessageWindowTest : public ::testing::Test {
protected:
    MessageWindowTest() {
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

struct KindCase {
    int kind;
    std::array<const char*, 3> captions; // "" = hidden
    bool checkBoxShown;
    const char* focused;
    std::array<int, 3> results; // per button; 0 where hidden
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << "kind " << c.kind;
}

const KindCase kKinds[] = {
    {1, {"", "Okay", ""}, false, "Command2", {0, 1, 0}},
    {2, {"", "Okay", ""}, true, "Command2", {0, 1, 0}},
    {3, {"Yes", "", "No"}, false, "Command3", {6, 0, 7}},
    {4, {"Yes", "", "No"}, true, "Command3", {6, 0, 7}},
    {5, {"Yes", "Cancel", "No"}, false, "Command2", {6, 2, 7}},
    {6, {"Yes", "Cancel", "No"}, true, "Command2", {6, 2, 7}},
    {7, {"Okay", "", "Cancel"}, false, "Command3", {1, 0, 2}},
    {8, {"Okay", "", "Cancel"}, true, "Command3", {1, 0, 2}},
};

class MessageKinds : public MessageWindowTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(MessageKinds, ShowsTheButtonsAndCheckBoxOfItsKindWithTheRightFocus) {
    const KindCase& kind = GetParam();
    whenMessageShown([&](QWidget* window) {
        const char* names[] = {"Command1", "Command2", "Command3"};
        for (int i = 0; i < 3; ++i) {
            QPushButton* button = child<QPushButton>(window, names[i]);
            ASSERT_NE(button, nullptr) << names[i];
            const QString caption = QString::fromLatin1(kind.captions[i]);
            EXPECT_EQ(button->isVisible(), !caption.isEmpty()) << names[i];
            if (!caption.isEmpty()) {
                EXPECT_EQ(button->text(), caption) << names[i];
            }
        }
        QCheckBox* box = child<QCheckBox>(window, "Check1");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->isVisible(), kind.checkBoxShown);
        ASSERT_NE(window->focusWidget(), nullptr);
        EXPECT_EQ(window->focusWidget()->objectName(), QString::fromLatin1(kind.focused));
        // Enter presses the focused button, as Esc is the only other key answer.
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    });
    const int focusedIndex = QString::fromLatin1(kind.focused).back().digitValue() - 1;
    EXPECT_EQ(service_.ShowMsgWind(kind.kind, QStringLiteral("A question"), 0),
              kind.results[focusedIndex]);
}

TEST_P(MessageKinds, EachVisibleButtonGivesItsAnswer) {
    const KindCase& kind = GetParam();
    const char* names[] = {"Command1", "Command2", "Command3"};
    for (int i = 0; i < 3; ++i) {
        if (kind.results[i] == 0)
            continue;
        whenMessageShown([&](QWidget* window) { click(window, names[i]); });
        EXPECT_EQ(service_.ShowMsgWind(kind.kind, QStringLiteral("Pick one"), 0), kind.results[i])
            << names[i];
        EXPECT_EQ(service_.state().MsgKind, 0) << "the window is closed after " << names[i];
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, MessageKinds, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return "Kind" + std::to_string(info.param.kind); });

TEST_F(MessageWindowTest, LooksLikeTheProgramsMessageWindowAndStaysOnTop) {
    whenMessageShown([](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), QString(46, QLatin1Char(' ')) + "Message ");
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_NE(window->findChild<QWidget*>(QStringLiteral("Frame1")), nullptr);
        QTextEdit* text = child<QTextEdit>(window, "Text1");
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->toPlainText(), QStringLiteral("\n\nFirst line\nSecond line"));
        EXPECT_EQ(text->document()->blockCount(), 4);
        QCheckBox* box = child<QCheckBox>(window, "Check1");
        EXPECT_EQ(box->text(), QStringLiteral("Stop Showing Just This Message"));
        EXPECT_EQ(box->toolTip(),
                  QStringLiteral("May Be Reconfigured To Show In App. Options Settings."));
        click(window, "Command2");
    });
    EXPECT_EQ(service_.ShowMsgWind(2, QStringLiteral("\r\n\r\nFirst line\r\nSecond line"), 0), 1);
    EXPECT_EQ(msgWindowCaption().size(), 54);
}

struct EscCase {
    int kind;
    int result;
};

void PrintTo(const EscCase& c, std::ostream* os) {
    *os << "kind " << c.kind;
}

class MessageEsc : public MessageWindowTest, public ::testing::WithParamInterface<EscCase> {};

TEST_P(MessageEsc, EscAnswersCancelExceptOnNotices) {
    whenMessageShown(
        [](QWidget* window) { QTest::keyClick(window->focusWidget(), Qt::Key_Escape); });
    EXPECT_EQ(service_.ShowMsgWind(GetParam().kind, QStringLiteral("Esc"), 0), GetParam().result);
    EXPECT_EQ(service_.state().MsgKind, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MessageEsc,
                         ::testing::Values(EscCase{1, 1}, EscCase{2, 1}, EscCase{4, 2},
                                           EscCase{5, 2}, EscCase{8, 2}));

TEST_F(MessageWindowTest, CloseBoxIsRefusedForPlainQuestions) {
    for (int kind : {3, 4}) {
        whenMessageShown([](QWidget* window) {
            EXPECT_FALSE(window->close());
            EXPECT_TRUE(window->isVisible());
            click(window, "Command1");
        });
        EXPECT_EQ(service_.ShowMsgWind(kind, QStringLiteral("Answer me"), 0), 6) << kind;
    }
}

TEST_F(MessageWindowTest, CloseBoxAnswersCancelOrOkay) {
    const std::pair<int, int> kindAndResult[] = {{1, 1}, {2, 1}, {5, 2}, {6, 2}, {7, 2}, {8, 2}};
    for (const auto& [kind, result] : kindAndResult) {
        whenMessageShown([](QWidget* window) { EXPECT_TRUE(window->close()); });
        EXPECT_EQ(service_.ShowMsgWind(kind, QStringLiteral("Closed"), 0), result) << kind;
        EXPECT_EQ(service_.state().MsgKind, 0) << kind;
    }
}

TEST_F(MessageWindowTest, CheckedBoxSwitchesOffJustThatMessage) {
    whenMessageShown([](QWidget* window) {
        checkTheBox(window);
        click(window, "Command1");
    });
    EXPECT_FALSE(service_.isSuppressed(14));
    EXPECT_EQ(service_.ShowMsgWind(4, QStringLiteral("Start?"), 14), 6);

    QString expected = kAllOn;
    expected[13] = QLatin1Char('1');
    EXPECT_EQ(map_, expected);
    EXPECT_TRUE(service_.isSuppressed(14));
    EXPECT_FALSE(service_.isSuppressed(13));
    EXPECT_FALSE(service_.isSuppressed(15));
}

TEST_F(MessageWindowTest, CheckedBoxWithoutUsableIdChangesNothing) {
    for (int id : {0, 101, 5000, -3}) {
        whenMessageShown([](QWidget* window) {
            checkTheBox(window);
            click(window, "Command1");
        });
        EXPECT_EQ(service_.ShowMsgWind(4, QStringLiteral("Go on?"), id), 6) << id;
        EXPECT_EQ(map_, kAllOn) << id;
        EXPECT_EQ(map_.size(), 100);
    }
    // A notice with id 0 keeps the map too, however it is closed.
    whenMessageShown([](QWidget* window) {
        checkTheBox(window);
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(service_.ShowMsgWind(2, QStringLiteral("Done."), 0), 1);
    EXPECT_EQ(map_, kAllOn);
}

TEST_F(MessageWindowTest, UncheckedBoxLeavesTheMessageOn) {
    whenMessageShown([](QWidget* window) { click(window, "Command1"); });
    EXPECT_EQ(service_.ShowMsgWind(8, QStringLiteral("Delete the set?"), 8), 1);
    EXPECT_EQ(map_, kAllOn);
}

TEST_F(MessageWindowTest, CheckedBoxOnTheLastIdSetsTheLastCharacter) {
    whenMessageShown([](QWidget* window) {
        checkTheBox(window);
        click(window, "Command3");
    });
    EXPECT_EQ(service_.ShowMsgWind(8, QStringLiteral("Save?"), 100), 2);
    EXPECT_EQ(map_.size(), 100);
    EXPECT_EQ(map_.back(), QLatin1Char('1'));
    EXPECT_EQ(map_.left(99), kAllOn.left(99));
}

} // namespace
