// The feedback window as the user meets it: what it sends, what it offers
// without a mail program, and that nothing in it is cut off.
#include "auxiliary/feedback_mail.h"
#include "auxiliary/form6.h"
#include "core/message_service.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace nubivista;
using auxiliary::Form6;

namespace {

const QString kVersion = QStringLiteral("Vs.") + QStringLiteral(NUBIVISTA_EXPECTED_VERSION);

template <typename T> T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Every visible control lies inside the window and has the room its text
// needs; a wrapped label is as tall as its text at its width.
void expectNothingCut(QWidget& window) {
    const QRect inside = window.rect();
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || !w->parentWidget() || w->parentWidget() != &window)
            continue;
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_TRUE(inside.contains(w->geometry())) << "outside the window";
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap())
                EXPECT_GE(label->height(), label->heightForWidth(label->width()));
            else
                EXPECT_GE(label->width(), label->sizeHint().width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_GE(button->width(), button->sizeHint().width());
            EXPECT_GE(button->height(), button->minimumSizeHint().height());
        }
    }
}

} // namespace

class FeedbackWindow : public ::testing::Test {
protected:
    void SetUp() override {
        messages.setAnswerer([this](int kind, const QString& text, int id) {
            asked << text;
            EXPECT_EQ(kind, 3);
            EXPECT_EQ(id, 0);
            return answer;
        });
        form.showOnce();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        send = child<QPushButton>(form, "Command1");
    }

    void type(const QString& subject, const QString& text, const QString& contact) {
        QTest::keyClicks(child<QLineEdit>(form, "Text1"), subject);
        QPlainTextEdit* box = child<QPlainTextEdit>(form, "Text2");
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClicks(box, lines[i]);
        }
        QTest::keyClicks(child<QLineEdit>(form, "Text3"), contact);
    }

    QString msgOffMap = QString(100, QLatin1Char('0'));
    core::MessageService messages{msgOffMap};
    QStringList asked;
    int answer = core::MsgYes;
    QList<QUrl> opened;
    bool mailProgram = true;
    Form6 form{nullptr, &messages, [this](const QUrl& url) {
                   opened << url;
                   return mailProgram;
               }};
    QPushButton* send = nullptr;
};

TEST_F(FeedbackWindow, OpensTheMailProgramWithTheMessageThenEmptiesAndHides) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Suggestions And Bugs"));
    EXPECT_FALSE(send->isEnabled()) << "nothing to send yet";
    type("Tab 20", "Skip box 20 & the stamp box\noverlap.", "ann@example.net");
    EXPECT_TRUE(send->isEnabled());
    expectNothingCut(form);

    QTest::mouseClick(send, Qt::LeftButton);
    // The mail of what was typed, with this build's origin.
    const auxiliary::FeedbackOrigin origin{kVersion, auxiliary::platformDescription()};
    EXPECT_EQ(opened,
              QList<QUrl>{auxiliary::feedbackMailUrl(
                  {"Tab 20", "Skip box 20 & the stamp box\noverlap.", "ann@example.net"}, origin)});
    EXPECT_TRUE(asked.isEmpty());

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.showOnce());
    EXPECT_TRUE(form.message().subject.isEmpty() && form.message().text.isEmpty() &&
                form.message().contact.isEmpty());
}

TEST_F(FeedbackWindow, WithoutAMailProgramOffersToCopyTheMail) {
    mailProgram = false;
    type("Crash", "It closed when I zoomed.", "");
    for (const int reply : {int(core::MsgNo), int(core::MsgYes)}) {
        SCOPED_TRACE(reply);
        answer = reply;
        asked.clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        send->click();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked.front().contains(QStringLiteral("No Mail Program Is Set Up")) &&
                    asked.front().contains(auxiliary::feedbackAddress()));
        const QString copied = QGuiApplication::clipboard()->text();
        if (reply == core::MsgNo) {
            EXPECT_EQ(copied, QStringLiteral("before"));
        } else {
            EXPECT_TRUE(copied.startsWith(QStringLiteral("To: ") + auxiliary::feedbackAddress() +
                                          QStringLiteral("\r\nSubject: Nubivista: Crash\r\n")))
                << copied.toStdString();
            EXPECT_TRUE(copied.contains(QStringLiteral("It closed when I zoomed.")));
            EXPECT_TRUE(copied.contains(kVersion));
        }
        // The window stays open with the text, for another try.
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.message().text, QStringLiteral("It closed when I zoomed."));
    }
}
