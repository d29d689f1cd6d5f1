// The feedback window without a mail program: it offers to copy the mail.
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
