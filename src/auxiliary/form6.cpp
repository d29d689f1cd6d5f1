#include "auxiliary/form6.h"

#include "core/app_identity.h"
#include "core/message_service.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSysInfo>
#include <QVBoxLayout>

namespace nubivista::auxiliary {

namespace {

QLabel* fieldLabel(const QString& name, const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

} // namespace

Form6::Form6(QWidget* parent, core::MessageService* messages, UrlOpener openUrl)
    : QWidget(parent, Qt::Dialog), messages_(messages), openUrl_(std::move(openUrl)) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Suggestions And Bugs"));
    if (!openUrl_)
        openUrl_ = [](const QUrl& url) { return openWithDesktop(url); };
    if (!messages_) {
        ownMsgOffMap_ = QString(100, QLatin1Char('0'));
        ownMessages_ = std::make_unique<core::MessageService>(ownMsgOffMap_);
        ownMessages_->setParentWindow(this);
        messages_ = ownMessages_.get();
    }

    auto* intro = new QLabel(
        QStringLiteral("Tell us what would make %1 better, or what went wrong. Your mail "
                       "program opens with the message ready to send; nothing is sent until "
                       "you send it there.")
            .arg(core::kProgramTitle),
        this);
    intro->setObjectName(QStringLiteral("Label1"));
    intro->setWordWrap(true);

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(120);
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setTabChangesFocus(true);
    Text3 = new QLineEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setMaxLength(200);
    Text3->setPlaceholderText(QStringLiteral("Only if you would like an answer"));

    auto* fields = new QGridLayout;
    fields->addWidget(
        fieldLabel(QStringLiteral("Label2"), QStringLiteral("&Subject:"), Text1, this), 0, 0);
    fields->addWidget(Text1, 0, 1);
    fields->addWidget(
        fieldLabel(QStringLiteral("Label3"), QStringLiteral("&Message:"), Text2, this), 1, 0,
        Qt::AlignTop);
    fields->addWidget(Text2, 1, 1);
    fields->addWidget(
        fieldLabel(QStringLiteral("Label4"), QStringLiteral("Your &Name Or E-Mail:"), Text3, this),
        2, 0);
    fields->addWidget(Text3, 2, 1);
    fields->setRowStretch(1, 1);

    auto* added =
        new QLabel(QStringLiteral("Added below your text: %1 %2 on %3 (%4).")
                       .arg(core::kProgramTitle, core::versionText(), QSysInfo::prettyProductName(),
                            QSysInfo::currentCpuArchitecture()),
                   this);
    added->setObjectName(QStringLiteral("Label5"));
    added->setWordWrap(true);
    added->setForegroundRole(QPalette::PlaceholderText);

    Command1 = new QPushButton(QStringLiteral("&Open In Mail Program"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("&Close"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QWidget::hide);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::hide);
    connect(Text2, &QPlainTextEdit::textChanged, this, &Form6::updateSendButton);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(fields, 1);
    layout->addWidget(added);
    layout->addLayout(buttons);
    updateSendButton();
    resize(480, 380);
    setMinimumSize(380, 300);
}

Form6::~Form6() = default;

bool Form6::showOnce() {
    if (isVisible())
        return false;
    show();
    Text1->setFocus();
    return true;
}

FeedbackMessage Form6::message() const {
    return {Text1->text(), Text2->toPlainText(), Text3->text()};
}

QString Form6::noMailProgramText() {
    const QString crlf = QStringLiteral("\r\n");
    return crlf + crlf + QStringLiteral("No Mail Program Is Set Up On This Computer,") + crlf +
           QStringLiteral("So The Message Could Not Be Opened In One.") + crlf + crlf +
           QStringLiteral("Click  -Yes-  To Copy The Whole Message To The Clipboard,") + crlf +
           QStringLiteral("Then Paste It Into A Mail To:") + crlf + feedbackAddress();
}

void Form6::Command1_Click() {
    const FeedbackMessage typed = message();
    if (typed.text.trimmed().isEmpty())
        return;
    const FeedbackOrigin origin = thisOrigin();
    if (openUrl_(feedbackMailUrl(typed, origin))) {
        // The mail program has the message now.
        Text1->clear();
        Text2->clear();
        Text3->clear();
        hide();
        return;
    }
    if (messages_->ShowMsgWind(3, noMailProgramText(), 0) == core::MsgYes)
        QGuiApplication::clipboard()->setText(feedbackClipboardText(typed, origin));
}

void Form6::updateSendButton() {
    Command1->setEnabled(!Text2->toPlainText().trimmed().isEmpty());
}

} // namespace nubivista::auxiliary
