#include "core/message_service.h"

#include "core/app_identity.h"
#include "core/message_window.h"

#include <QMessageBox>

namespace nubivista::core {

namespace {

bool isInMap(const QString& msgOffMap, int msgId) {
    return msgId >= 1 && msgId <= msgOffMap.size();
}

// What a window that ended without a button means: Okay for the notices, otherwise
// the same as Esc.
int answerWithoutButton(int kind) {
    return kind <= 2 ? MsgOkay : MsgCancel;
}

} // namespace

bool isSuppressedIn(const QString& msgOffMap, int msgId) {
    return isInMap(msgOffMap, msgId) && msgOffMap.at(msgId - 1) != QLatin1Char('0');
}

void suppressIn(QString& msgOffMap, int msgId) {
    if (isInMap(msgOffMap, msgId))
        msgOffMap[msgId - 1] = QLatin1Char('1');
}

QString withPlainLineBreaks(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return plain;
}

MessageService::MessageService(QString& msgOffMap) : msgOffMap_(msgOffMap) {}

int MessageService::ShowMsgWind(int kind, const QString& text, int msgId) {
    if (state_.MsgKind >= 1)
        return showStandardBox(kind, text);
    // A window without buttons could not be answered; show nothing instead.
    if (kind < kMinMsgKind || kind > kMaxMsgKind)
        return MsgNone;
    if (answerer_)
        return answerer_(kind, text, msgId);

    state_.MsgKind = kind;
    state_.MsgText = text;
    state_.MsgId = msgId;
    state_.MsgResult = MsgNone;

    // Owned by the parent window when there is one; released below in any case.
    QPointer<frmMsgWind> window = new frmMsgWind(state_, msgOffMap_, parentWindow_);
    openWindow_ = window;
    window->exec();
    if (window)
        window->deleteLater();

    // The window's own closing rules reset MsgKind. When it went away some other way
    // (its parent destroyed, the application quitting), finish the message here so
    // that later messages do not fall back to the standard box for good.
    if (state_.MsgKind != 0) {
        if (state_.MsgResult == MsgNone)
            state_.MsgResult = answerWithoutButton(kind);
        state_.MsgKind = 0;
    }
    return state_.MsgResult;
}

int MessageService::MsgBox(int kind, const QString& text) {
    if (kind < kMinMsgKind || kind > kMaxMsgKind)
        return MsgNone;
    if (answerer_)
        return answerer_(kind, text, kStandardBoxId);
    return showStandardBox(kind, text);
}

int MessageService::showStandardBox(int kind, const QString& text) {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    switch (kind) {
    case 1:
    case 2:
        buttons = QMessageBox::Ok;
        defaultButton = QMessageBox::Ok;
        break;
    case 3:
    case 4:
        buttons = QMessageBox::Yes | QMessageBox::No;
        defaultButton = QMessageBox::No;
        break;
    case 5:
    case 6:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        defaultButton = QMessageBox::Cancel;
        break;
    case 7:
    case 8:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        defaultButton = QMessageBox::Cancel;
        break;
    default:
        return MsgNone;
    }

    // Stands over the open message window, which stays on top itself.
    QWidget* parent = openWindow_ ? openWindow_.data() : parentWindow_.data();
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::NoIcon, kProgramTitle,
                                                withPlainLineBreaks(text), buttons, parent);
    box->setObjectName(QStringLiteral("msgFallbackBox"));
    // Message texts hold paths and addresses; never read them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(defaultButton);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    const int answer = box->exec();
    if (box)
        box->deleteLater();

    switch (answer) {
    case QMessageBox::Ok:
        return MsgOkay;
    case QMessageBox::Cancel:
        return MsgCancel;
    case QMessageBox::Yes:
        return MsgYes;
    case QMessageBox::No:
        return MsgNo;
    default:
        // The box went away without an answer: Okay for the notices, No for the plain
        // questions, Cancel where there is one.
        return kind <= 2 ? MsgOkay : (kind <= 4 ? MsgNo : MsgCancel);
    }
}

} // namespace nubivista::core
