#pragma once
// The one road for every message and question of the program: the program's own
// modal message window, or a standard message box while that window is already up.
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace nubivista::core {

// Answers of a message, as callers compare them.
enum MsgAnswer : int {
    MsgNone = 0, // no button pressed yet; also "nothing shown" for a kind outside 1..8
    MsgOkay = 1,
    MsgCancel = 2,
    MsgYes = 6,
    MsgNo = 7,
};

inline constexpr int kMinMsgKind = 1;
inline constexpr int kMaxMsgKind = 8;
// The message id a test answerer sees for a standard message box.
inline constexpr int kStandardBoxId = -1;

// The message now shown. MsgKind is 0 between messages; while a message window is
// open it holds that window's kind and is the guard against a second window.
struct MessageState {
    int MsgKind = 0;
    QString MsgText;
    int MsgId = 0;     // 1..100 for a suppressible message, 0 otherwise
    int MsgResult = 0; // MsgAnswer; 0 until a button decides
};

// True when message msgId is switched off in the map: its character (1-based) is not
// "0". Id 0, negative ids and ids beyond the map are never switched off.
bool isSuppressedIn(const QString& msgOffMap, int msgId);

// Switches message msgId off ("1") in the map; ids outside 1..length change nothing.
void suppressIn(QString& msgOffMap, int msgId);

// Message texts carry CR LF breaks; the text widgets want plain "\n".
QString withPlainLineBreaks(const QString& text);

class MessageService {
public:
    // msgOffMap is the settings' 100-character map of switched-off messages; it must
    // outlive the service. The service never changes its length.
    explicit MessageService(QString& msgOffMap);

    MessageService(const MessageService&) = delete;
    MessageService& operator=(const MessageService&) = delete;

    // The window the message windows stand over (normally the main window); may be
    // null, and may be destroyed before the service.
    void setParentWindow(QWidget* parent) { parentWindow_ = parent; }

    // Shows text (CR LF line breaks allowed) with the buttons of kind 1..8 and waits
    // for the answer, while timers keep running: 1 Okay, 2 Cancel, 6 Yes, 7 No. A
    // kind outside 1..8 shows nothing and returns 0.
    int ShowMsgWind(int kind, const QString& text, int msgId);

    // A standard message box with the program title, for the few notices and
    // questions that are not the program's message window (kind 1 Okay, 3 Yes
    // and No). The test answerer receives these with msgId kStandardBoxId.
    int MsgBox(int kind, const QString& text);

    // Callers of a suppressible message test this first and act as if the
    // affirmative button was pressed when it is true.
    bool isSuppressed(int msgId) const { return isSuppressedIn(msgOffMap_, msgId); }

    // Tests answer messages without a window: while an answerer is set it
    // receives every message of kind 1..8 and its result is the answer.
    using Answerer = std::function<int(int kind, const QString& text, int msgId)>;
    void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

    const MessageState& state() const { return state_; }
    const QString& MsgOffMap() const { return msgOffMap_; }

private:
    int showStandardBox(int kind, const QString& text);

    QString& msgOffMap_;
    MessageState state_;
    QPointer<QWidget> parentWindow_;
    QPointer<QWidget> openWindow_;
    Answerer answerer_;
};

} // namespace nubivista::core
