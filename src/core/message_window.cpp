#include "core/message_window.h"

#include "core/on_screen.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace nubivista::core {

namespace {

constexpr int kEscapeKey = 27;
constexpr int kTextWidthPx = 440;
constexpr int kMinTextLines = 4;
constexpr int kMaxTextLines = 22;

} // namespace

std::optional<MsgKindLayout> msgKindLayout(int kind) {
    const QString okay = QStringLiteral("Okay");
    const QString yes = QStringLiteral("Yes");
    const QString no = QStringLiteral("No");
    const QString cancel = QStringLiteral("Cancel");
    switch (kind) {
    case 1:
    case 2:
        return MsgKindLayout{{QString(), okay, QString()}, kind == 2, 2};
    case 3:
    case 4:
        return MsgKindLayout{{yes, QString(), no}, kind == 4, 3};
    case 5:
    case 6:
        return MsgKindLayout{{yes, cancel, no}, kind == 6, 2};
    case 7:
    case 8:
        return MsgKindLayout{{okay, QString(), cancel}, kind == 8, 3};
    default:
        return std::nullopt;
    }
}

QString msgWindowCaption() {
    // Leading spaces once centred the caption in a title bar; today's title
    // bars centre it themselves, and task lists would show the spaces.
    return QStringLiteral("Message");
}

frmMsgWind::frmMsgWind(MessageState& state, QString& msgOffMap, QWidget* parent)
    : QDialog(parent), state_(state), msgOffMap_(msgOffMap) {
    setObjectName(QStringLiteral("frmMsgWind"));
    // Above every window of the program; no help button, a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(msgWindowCaption());
    buildControls();
    Form_Load();
}

void frmMsgWind::buildControls() {
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setFrameShadow(QFrame::Sunken);

    Text1 = new QTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->setLineWrapMode(QTextEdit::WidgetWidth);
    // The keyboard belongs to the buttons; the text can still be selected and copied.
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(Text1);

    Check1 = new QCheckBox(QStringLiteral("Stop Showing Just This Message"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setToolTip(QStringLiteral("May Be Reconfigured To Show In App. Options Settings."));

    Command1 = new QPushButton(this);
    Command2 = new QPushButton(this);
    Command3 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3->setObjectName(QStringLiteral("Command3"));
    // Left, middle and right keep their places whichever of them are hidden.
    auto* buttonRow = new QGridLayout;
    buttonRow->setHorizontalSpacing(12);
    for (int column = 0; column < 3; ++column) {
        QPushButton* command = button(column + 1);
        command->setMinimumWidth(96);
        QSizePolicy policy = command->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        command->setSizePolicy(policy);
        buttonRow->addWidget(command, 0, column, Qt::AlignHCenter);
        buttonRow->setColumnStretch(column, 1);
    }
    connect(Command1, &QPushButton::clicked, this, &frmMsgWind::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMsgWind::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMsgWind::Command3_Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Frame1);
    layout->addWidget(Check1);
    layout->addLayout(buttonRow);
}

QPushButton* frmMsgWind::button(int number) const {
    switch (number) {
    case 1:
        return Command1;
    case 2:
        return Command2;
    default:
        return Command3;
    }
}

void frmMsgWind::Form_Load() {
    state_.MsgResult = MsgNone;
    const std::optional<MsgKindLayout> layout = msgKindLayout(state_.MsgKind);
    for (int number = 1; number <= 3; ++number) {
        QPushButton* command = button(number);
        const QString caption = layout ? layout->captions[number - 1] : QString();
        command->setText(caption);
        command->setVisible(!caption.isEmpty());
    }
    Check1->setVisible(layout && layout->checkBoxShown);
    if (layout)
        button(layout->focusButton)->setDefault(true);

    // The text goes in before the first showing so that the window can fit it.
    Text1->setPlainText(withPlainLineBreaks(state_.MsgText));
    QTextCursor all(Text1->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    // As tall as the text plus a line of air, within bounds; a longer text scrolls.
    // Measured on a copy: the widget lays its own document out at its current width.
    const std::unique_ptr<QTextDocument> measured(Text1->document()->clone());
    measured->setTextWidth(kTextWidthPx);
    const int lineHeight = Text1->fontMetrics().lineSpacing();
    const int textHeight = static_cast<int>(measured->size().height()) + lineHeight;
    Text1->setFixedSize(
        kTextWidthPx + 2 * Text1->frameWidth(),
        std::clamp(textHeight, kMinTextLines * lineHeight, kMaxTextLines * lineHeight));
}

void frmMsgWind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    keepInsideWorkArea(*this);
    if (!activated_) {
        activated_ = true;
        Form_Activate();
    }
}

void frmMsgWind::Form_Activate() {
    if (const std::optional<MsgKindLayout> layout = msgKindLayout(state_.MsgKind))
        button(layout->focusButton)->setFocus(Qt::OtherFocusReason);
}

void frmMsgWind::Command1_Click() {
    const int kind = state_.MsgKind;
    if (kind >= 3 && kind <= 6)
        state_.MsgResult = MsgYes;
    else if (kind == 7 || kind == 8)
        state_.MsgResult = MsgOkay;
    else
        return;
    unloadByProgram();
}

void frmMsgWind::Command2_Click() {
    const int kind = state_.MsgKind;
    if (kind == 1 || kind == 2)
        state_.MsgResult = MsgOkay;
    else if (kind == 5 || kind == 6)
        state_.MsgResult = MsgCancel;
    else
        return;
    unloadByProgram();
}

void frmMsgWind::Command3_Click() {
    const int kind = state_.MsgKind;
    if (kind >= 3 && kind <= 6)
        state_.MsgResult = MsgNo;
    else if (kind == 7 || kind == 8)
        state_.MsgResult = MsgCancel;
    else
        return;
    unloadByProgram();
}

void frmMsgWind::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        Form_KeyPress(kEscapeKey);
        return;
    }
    QDialog::keyPressEvent(event);
}

// Any other rejection of the dialog means what Esc means.
void frmMsgWind::reject() {
    Form_KeyPress(kEscapeKey);
}

void frmMsgWind::Form_KeyPress(int keyAscii) {
    if (keyAscii != kEscapeKey || unloaded_)
        return;
    state_.MsgResult = MsgCancel;
    unloadByProgram();
}

void frmMsgWind::closeEvent(QCloseEvent* event) {
    if (unloaded_ || Form_QueryUnload(true)) {
        setResult(state_.MsgResult);
        event->accept();
    } else {
        event->ignore();
    }
}

bool frmMsgWind::Form_QueryUnload(bool byCloseBox) {
    const int kind = state_.MsgKind;
    if (kind == 1 || kind == 2)
        state_.MsgResult = MsgOkay;
    else if (kind >= 5 && kind <= 8 && state_.MsgResult == MsgNone)
        state_.MsgResult = MsgCancel;

    // A plain question must be answered Yes or No, not closed away.
    if ((kind == 3 || kind == 4) && byCloseBox)
        return false;

    if (Check1->isChecked() && state_.MsgId >= 1)
        suppressIn(msgOffMap_, state_.MsgId);
    state_.MsgKind = 0;
    unloaded_ = true;
    return true;
}

void frmMsgWind::unloadByProgram() {
    if (unloaded_)
        return;
    if (Form_QueryUnload(false))
        done(state_.MsgResult);
}

} // namespace nubivista::core
