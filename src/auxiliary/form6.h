#pragma once
// The feedback window "Suggestions And Bugs": a subject, the text and an
// optional contact, sent through the user's mail program as a mailto:
// address with the version and the platform below the text. The main
// window's menu shows it once, not again while it is open; closing it only
// hides it.
#include "auxiliary/feedback_mail.h"

#include <QString>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace nubivista::core {
class MessageService;
}

namespace nubivista::auxiliary {

class Form6 : public QWidget {
    Q_OBJECT
public:
    // messages: the program's message road for the "no mail program" question;
    // when null the window keeps a message service of its own. openUrl hands
    // the mailto: address to the desktop (openWithDesktop when empty).
    explicit Form6(QWidget* parent = nullptr, core::MessageService* messages = nullptr,
                   UrlOpener openUrl = {});
    ~Form6() override;

    // Shows the window unless it is open already; true when it was shown now.
    bool showOnce();

    // What the user has typed so far.
    FeedbackMessage message() const;

    // "Open In Mail Program": the mail program opens with the message ready to
    // send, and the window empties and hides. When no mail program takes it,
    // a question offers to copy the whole mail to the clipboard instead.
    void Command1_Click();

    // The question shown when no mail program could be opened.
    static QString noMailProgramText();

private:
    void updateSendButton();

    core::MessageService* messages_;
    UrlOpener openUrl_;
    // Used only when no message service was given.
    QString ownMsgOffMap_;
    std::unique_ptr<core::MessageService> ownMessages_;

    QLineEdit* Text1 = nullptr;      // subject
    QPlainTextEdit* Text2 = nullptr; // the message
    QLineEdit* Text3 = nullptr;      // contact
    QPushButton* Command1 = nullptr; // Open In Mail Program
    QPushButton* Command2 = nullptr; // Close
};

} // namespace nubivista::auxiliary
