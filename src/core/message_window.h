#pragma once
// frmMsgWind: the program's own message window, with up to three buttons and, for
// the suppressible kinds, a box that switches the message off for good.
#include "core/message_service.h"

#include <QDialog>
#include <QString>
#include <array>
#include <optional>

class QCheckBox;
class QFrame;
class QPushButton;
class QTextEdit;

namespace nubivista::core {

// How one kind of message looks: captions of Command1..Command3 (empty = hidden),
// whether the check box shows, and which button (1..3) has the focus.
struct MsgKindLayout {
    std::array<QString, 3> captions;
    bool checkBoxShown = false;
    int focusButton = 2;
};

// The layout of kinds 1..8; nothing for any other kind.
std::optional<MsgKindLayout> msgKindLayout(int kind);

// The window title: "Message", without the spaces that once centred it.
QString msgWindowCaption();

class frmMsgWind : public QDialog {
    Q_OBJECT

public:
    // Reads the message from state and writes its answer back there; the check box
    // writes into msgOffMap. Both must outlive the window.
    frmMsgWind(MessageState& state, QString& msgOffMap, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QCheckBox* Check1 = nullptr;
    QFrame* Frame1 = nullptr;
    QTextEdit* Text1 = nullptr;

    void buildControls();
    void Form_Load();
    void Form_Activate();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_KeyPress(int keyAscii);
    // The closing rules, for every way of closing; false refuses the close.
    bool Form_QueryUnload(bool byCloseBox);
    void unloadByProgram();
    QPushButton* button(int number) const;

    MessageState& state_;
    QString& msgOffMap_;
    bool activated_ = false;
    bool unloaded_ = false;
};

} // namespace nubivista::core
