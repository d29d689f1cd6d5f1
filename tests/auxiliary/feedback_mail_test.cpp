// The feedback mail: the decoded address, the mailto: address a mail program
// receives, the desktop opener's test for a registered mail program, and the
// window's offer to copy the mail when there is none.
#include "auxiliary/feedback_mail.h"
#include "auxiliary/form6.h"
#include "core/message_service.h"
#include "support/files.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

using namespace nubivista::auxiliary;

namespace {

const QString kAddress = QStringLiteral("nubivista-feedback@users.noreply.example.org");
const FeedbackOrigin kOrigin{QStringLiteral("Vs.") + QStringLiteral(NUBIVISTA_EXPECTED_VERSION),
                             QStringLiteral("Some Linux 12; linux 6.1; x86_64; Qt 6.4.2")};

QString queryValue(const QUrl& url, const QString& key) {
    return QUrlQuery(url).queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

TEST(FeedbackMail, MailtoAddressCarriesTheSubjectAndTheBodyIntact) {
    struct Case {
        const char* what;
        FeedbackMessage typed;
        QString subject;
        QString bodyStart;
    };
    const Case cases[] = {
        {"plain",
         {"Loop stops", "The loop stops at tab 7.", ""},
         "Nubivista: Loop stops",
         "The loop stops at tab 7.\r\n\r\n--------"},
        {"delimiters and non-ASCII",
         {"A & B = C?", "50% + 1 #tag &body=x ?q é ü 雨", "me@example.net"},
         "Nubivista: A & B = C?",
         "50% + 1 #tag &body=x ?q é ü 雨\r\n\r\nReply to: me@example.net\r\n\r\n--------"},
        {"line breaks of any kind, blank subject",
         {"   ", "one\ntwo\r\nthree\rfour\n\n", "  "},
         "Nubivista: Suggestions And Bugs",
         "one\r\ntwo\r\nthree\r\nfour\r\n\r\n--------"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QUrl url = feedbackMailUrl(c.typed, kOrigin);
        ASSERT_TRUE(url.isValid()) << url.errorString().toStdString();
        EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
        EXPECT_EQ(url.path(), kAddress);
        EXPECT_EQ(queryValue(url, QStringLiteral("subject")), c.subject);
        const QString body = queryValue(url, QStringLiteral("body"));
        EXPECT_TRUE(body.startsWith(c.bodyStart)) << body.toStdString();
        EXPECT_TRUE(body.endsWith(QStringLiteral("--------\r\nNubivista ") + kOrigin.version +
                                  QStringLiteral("\r\n") + kOrigin.platform +
                                  QStringLiteral("\r\n")))
            << body.toStdString();
        // What the desktop receives: nothing left that a mail program could
        // split on or lose.
        const QByteArray sent = url.toEncoded();
        for (const char raw : {' ', '\n', '\r', '#'})
            EXPECT_FALSE(sent.contains(raw)) << sent.toStdString();
        EXPECT_EQ(sent.count('?'), 1);
        EXPECT_EQ(sent.count('&'), 1);
        EXPECT_TRUE(sent.contains("%0D%0A"));
    }
}

// Receives what QDesktopServices hands to the mailto: handler.
class MailHandler : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST(FeedbackMail, DesktopOpenerNeedsARegisteredMailProgram) {
#if !defined(Q_OS_UNIX) || defined(Q_OS_MACOS)
    GTEST_SKIP() << "xdg-mime keeps the URL handlers on freedesktop systems only";
#endif
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MailHandler handler;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &handler, "open");
    const QUrl url = feedbackMailUrl({"S", "T", ""}, kOrigin);
    struct Case {
        const char* what;
        const char* script;
        bool opened;
    };
    const Case cases[] = {
        {"no handler registered", "exit 0", false},
        {"a handler registered", "echo thunderbird.desktop", true},
        {"xdg-mime fails: the desktop decides", "exit 3", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handler.opened.clear();
        const QString fake = dir.filePath(QStringLiteral("xdg-mime"));
        ASSERT_TRUE(nubivista::testing::writeScript(fake, QByteArray(c.script) + "\n"));
        EXPECT_EQ(openWithDesktop(url, fake), c.opened);
        EXPECT_EQ(handler.opened, c.opened ? QList<QUrl>{url} : QList<QUrl>{});
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

namespace {

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
    nubivista::core::MessageService messages{msgOffMap};
    QStringList asked;
    int answer = nubivista::core::MsgYes;
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
    for (const int reply : {int(nubivista::core::MsgNo), int(nubivista::core::MsgYes)}) {
        SCOPED_TRACE(reply);
        answer = reply;
        asked.clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        send->click();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked.front().contains(QStringLiteral("No Mail Program Is Set Up")) &&
                    asked.front().contains(feedbackAddress()));
        const QString copied = QGuiApplication::clipboard()->text();
        if (reply == nubivista::core::MsgNo) {
            EXPECT_EQ(copied, QStringLiteral("before"));
        } else {
            EXPECT_TRUE(copied.startsWith(QStringLiteral("To: ") + feedbackAddress() +
                                          QStringLiteral("\r\nSubject: Nubivista: Crash\r\n")))
                << copied.toStdString();
            EXPECT_TRUE(copied.contains(QStringLiteral("It closed when I zoomed.")));
            EXPECT_TRUE(copied.contains(kOrigin.version));
        }
        // The window stays open with the text, for another try.
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.message().text, QStringLiteral("It closed when I zoomed."));
    }
}

#include "feedback_mail_test.moc"
